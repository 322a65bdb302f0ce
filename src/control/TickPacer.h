#pragma once
#include <cstdint>

namespace pelsid {

/// Turns elapsed time into playback ticks, so the rate played is the rate
/// asked even when the timer fires late or coarsely. Debt is bounded: after a
/// stall at most kMaxDebtNs worth of ticks is caught up, the rest is dropped.
class TickPacer {
  public:
    static constexpr std::int64_t kMaxDebtNs = 100'000'000;

    /// The first tick falls due one period after `nowNs`.
    void start(std::int64_t nowNs, std::int64_t periodNs);
    /// Ticks due at `nowNs` and not yet consumed (at least 1 may always be owed).
    int due(std::int64_t nowNs);
    /// `n` due ticks were performed.
    void consumed(int n) { next_ += n * period_; }
    std::int64_t period() const { return period_; }

  private:
    std::int64_t period_ = 1;
    std::int64_t next_ = 0;
};

}  // namespace pelsid
