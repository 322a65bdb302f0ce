#include "control/RateMeter.h"

namespace pelsid {

void RateMeter::record(std::int64_t nowNs) {
    constexpr std::int64_t kWindowNs = 1'000'000'000;
    times_.push_back(nowNs);
    while (times_.size() > 2 && times_[1] <= nowNs - kWindowNs) times_.pop_front();
}

double RateMeter::rate() const {
    if (times_.size() < 2 || times_.back() <= times_.front()) return 0.0;
    return double(times_.size() - 1) * 1e9 / double(times_.back() - times_.front());
}

}  // namespace pelsid
