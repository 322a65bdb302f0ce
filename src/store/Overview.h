#pragma once
#include <array>
#include <cstdint>
#include <limits>
#include <vector>

#include "store/CaptureTime.h"
#include "store/ProtocolClass.h"

namespace pelsid {

/// What an overview counts apart: the protocol classes, then frames that
/// carry no IP.
inline constexpr int kOverviewKinds = kProtocolClassCount + 1;
inline constexpr int kNonIpKind = kProtocolClassCount;

/// One interval of an overview.
struct OverviewBin {
    std::uint64_t firstFrame = 0;  // its first frame, numbered as --from numbers; 0: none
    std::uint64_t frames = 0;
    std::uint64_t bytes = 0;
    std::array<std::uint64_t, kOverviewKinds> kindFrames{};
    std::array<std::uint64_t, kOverviewKinds> kindBytes{};
};

/// Frames and bytes of a capture per interval of capture time, in total and
/// per kind, with each interval's first frame. Intervals count from the
/// first frame's time. Frames without times (datasets) are grouped by frame
/// number instead. Memory stays bounded whatever the capture: when its
/// intervals would span more than kMaxBins, ten at a time are merged.
class Overview {
  public:
    // Ten at a time merged, the intervals left are still enough for a strip
    // of 2000 columns; more would only cost the pass its cache.
    static constexpr std::int64_t kMaxBins = 20'000;
    static constexpr std::int64_t kFinestNs = 1'000'000;

    /// `intervalNs`: the interval for timed frames; 0 starts at the finest
    /// (1 ms) and merges as needed. Untimed frames start at 1 frame.
    explicit Overview(std::int64_t intervalNs = 0) : requested_(intervalNs) {}

    /// Frame number `frame` of `bytes` bytes on the wire, of kind `kind`.
    void add(std::uint64_t frame, std::uint64_t bytes, int kind, const CaptureTime& time);

    bool empty() const { return bins_.empty(); }
    bool timed() const { return timed_; }
    /// Nanoseconds when timed, else frames.
    std::int64_t interval() const { return interval_; }
    /// Where interval `k` starts: epoch nanoseconds when timed, else a frame number.
    std::int64_t startOf(std::int64_t k) const { return origin_ + k * interval_; }
    /// The first and last intervals that hold a frame (0 and -1 when empty).
    std::int64_t firstIndex() const { return bins_.empty() ? 0 : base_; }
    std::int64_t lastIndex() const { return base_ + std::int64_t(bins_.size()) - 1; }
    /// Interval `k`; an empty one when it holds no frame.
    OverviewBin bin(std::int64_t k) const;
    /// Every interval from the first to the last, empty ones included.
    const std::vector<OverviewBin>& bins() const { return bins_; }
    std::uint64_t frames() const { return frames_; }
    /// When interval `k` starts, with the first frame's resolution (timed only).
    CaptureTime startTime(std::int64_t k) const;

    /// The same counts in intervals of `interval`, a multiple of interval().
    Overview regrouped(std::int64_t interval) const;
    /// The smallest round interval (1, 2, 5 ms ... 30 min, 1 h, ...; for
    /// untimed frames 1, 2, 5, 10 ... frames) that is a multiple of
    /// interval() and gives at most about `columns` intervals.
    std::int64_t fittingInterval(int columns) const;

  private:
    /// Intervals of `factor` times the length, counted from the same origin.
    void merge(std::int64_t factor);

    // Dense from the first interval to the last: bins_[i] is interval base_ + i.
    std::vector<OverviewBin> bins_;
    std::int64_t base_ = 0;
    std::int64_t recentIndex_ = 0;  // where the frame before went, and where that interval starts
    std::int64_t recentStart_ = std::numeric_limits<std::int64_t>::max();
    std::int64_t requested_;
    std::int64_t interval_ = 0;
    std::int64_t origin_ = 0;  // the first frame's time, or its number
    std::int64_t lastNs_ = 0;  // a timed capture's frame without a time goes with the one before
    bool timed_ = false;
    std::uint8_t decimals_ = 9;
    std::uint64_t frames_ = 0;
};

/// Epoch nanoseconds of a known time.
std::int64_t epochNanoseconds(const CaptureTime& time);

}  // namespace pelsid
