#pragma once
#include <cstdint>

#include "store/CaptureTime.h"

namespace pelsid {

/// Paces "Real Time" playing: each packet waits the gap between its capture
/// time and that of the packet played before it, divided by a factor. Waits
/// are kept on schedule (a late timer is caught up), with the same bound on
/// the debt as the fixed-rate pacing.
class RealTimePacer {
  public:
    static constexpr double kMinFactor = 0.1;
    static constexpr double kMaxFactor = 100;
    static constexpr std::int64_t kMaxDebtNs = 100'000'000;

    /// The wait before `next` when `previous` was played before it: the
    /// captured gap divided by `factor`, never below 0 (times out of order),
    /// or `fallbackNs` (1 / rate) when either time is unknown.
    static std::int64_t waitNs(const CaptureTime& previous, const CaptureTime& next, double factor,
                               std::int64_t fallbackNs);

    /// The last packet counts as played at `nowNs`.
    void start(std::int64_t nowNs) { last_ = nowNs; }
    /// True when a packet due `waitNs` after the last one is due at
    /// `nowNs`; it then counts as played when it was due.
    bool take(std::int64_t nowNs, std::int64_t waitNs);
    /// How long until a packet due `waitNs` after the last one is due.
    std::int64_t untilDue(std::int64_t nowNs, std::int64_t waitNs) const;

  private:
    std::int64_t last_ = 0;
};

}  // namespace pelsid
