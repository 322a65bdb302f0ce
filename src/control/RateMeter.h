#pragma once
#include <cstdint>
#include <deque>

namespace pelsid {

/// Measures the rate of events over the last second (plus the event just
/// before it, so that one event a second still measures 1).
class RateMeter {
  public:
    void record(std::int64_t nowNs);
    void reset() { times_.clear(); }
    /// Events per second; 0 until two events are known.
    double rate() const;

  private:
    std::deque<std::int64_t> times_;
};

}  // namespace pelsid
