#include "control/TickPacer.h"

#include <algorithm>

namespace pelsid {

void TickPacer::start(std::int64_t nowNs, std::int64_t periodNs) {
    period_ = std::max<std::int64_t>(1, periodNs);
    next_ = nowNs + period_;
}

int TickPacer::due(std::int64_t nowNs) {
    if (nowNs < next_) return 0;
    const std::int64_t owed = (nowNs - next_) / period_ + 1;
    const std::int64_t cap = std::max<std::int64_t>(1, kMaxDebtNs / period_);
    if (owed <= cap) return int(owed);
    next_ = nowNs - (cap - 1) * period_;  // forget what cannot be caught up
    return int(cap);
}

}  // namespace pelsid
