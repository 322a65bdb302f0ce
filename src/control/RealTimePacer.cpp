#include "control/RealTimePacer.h"

#include <algorithm>
#include <cmath>

namespace pelsid {

std::int64_t RealTimePacer::waitNs(const CaptureTime& previous, const CaptureTime& next,
                                   double factor, std::int64_t fallbackNs) {
    if (!previous.known || !next.known) return fallbackNs;
    const double gap = double(nanosecondsBetween(previous, next));
    const double wait = gap / std::clamp(factor, kMinFactor, kMaxFactor);
    // A year is more than any wait worth keeping exact; it keeps the sum in range.
    return std::int64_t(std::clamp(wait, 0.0, 3.2e16));
}

bool RealTimePacer::take(std::int64_t nowNs, std::int64_t waitNs) {
    const std::int64_t due = last_ + waitNs;
    if (nowNs < due) return false;
    last_ = nowNs - due > kMaxDebtNs ? nowNs - kMaxDebtNs : due;
    return true;
}

std::int64_t RealTimePacer::untilDue(std::int64_t nowNs, std::int64_t waitNs) const {
    return std::max<std::int64_t>(0, last_ + waitNs - nowNs);
}

}  // namespace pelsid
