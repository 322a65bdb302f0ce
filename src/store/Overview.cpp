#include "store/Overview.h"

#include <algorithm>
#include <limits>

namespace pelsid {

namespace {
std::int64_t floorDiv(std::int64_t a, std::int64_t b) {
    const std::int64_t q = a / b;
    return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

void addInto(OverviewBin& to, const OverviewBin& from) {
    if (from.frames == 0) return;
    if (to.frames == 0 || from.firstFrame < to.firstFrame) to.firstFrame = from.firstFrame;
    to.frames += from.frames;
    to.bytes += from.bytes;
    for (int k = 0; k < kOverviewKinds; ++k) {
        to.kindFrames[std::size_t(k)] += from.kindFrames[std::size_t(k)];
        to.kindBytes[std::size_t(k)] += from.kindBytes[std::size_t(k)];
    }
}

// Round intervals in ascending order: nanoseconds, or frames.
std::vector<std::int64_t> roundIntervals(bool timed) {
    std::vector<std::int64_t> v;
    if (timed) {
        constexpr std::int64_t ms = 1'000'000, s = 1000 * ms, min = 60 * s, h = 60 * min;
        for (std::int64_t d = 1; d <= 100; d *= 10)
            for (std::int64_t m : {1, 2, 5}) v.push_back(m * d * ms);
        for (std::int64_t m : {1, 2, 5, 10, 15, 30}) v.push_back(m * s);
        for (std::int64_t m : {1, 2, 5, 10, 15, 30}) v.push_back(m * min);
        for (std::int64_t m : {1, 2, 3, 6, 12}) v.push_back(m * h);
        for (std::int64_t d = 24 * h; d < (std::int64_t(1) << 61) / 5; d *= 10)
            for (std::int64_t m : {1, 2, 5}) v.push_back(m * d);
    } else {
        for (std::int64_t d = 1; d < (std::int64_t(1) << 61) / 5; d *= 10)
            for (std::int64_t m : {1, 2, 5}) v.push_back(m * d);
    }
    return v;
}
}  // namespace

std::int64_t epochNanoseconds(const CaptureTime& time) {
    return time.seconds * 1'000'000'000 + std::int64_t(time.nanoseconds);
}

void Overview::add(std::uint64_t frame, std::uint64_t bytes, int kind, const CaptureTime& time) {
    if (frames_ == 0) {
        timed_ = time.known;
        interval_ = timed_ ? (requested_ > 0 ? requested_ : kFinestNs) : 1;
        decimals_ = time.decimals;
        origin_ = timed_ ? epochNanoseconds(time) : std::int64_t(frame);
        lastNs_ = origin_;
    }
    ++frames_;
    std::int64_t at;
    if (timed_) {
        if (time.known) lastNs_ = epochNanoseconds(time);
        at = lastNs_ - origin_;
    } else {
        at = std::int64_t(frame) - origin_;
    }
    // Most frames fall in the interval of the frame before, or the next one:
    // no division then.
    std::int64_t index;
    if (!bins_.empty() && at >= recentStart_ && at - recentStart_ < 2 * interval_)
        index = recentIndex_ + (at - recentStart_ >= interval_ ? 1 : 0);
    else
        index = floorDiv(at, interval_);
    if (!bins_.empty()) {
        // Wider than the bound with this frame: merge first.
        while (std::max(lastIndex(), index) - std::min(firstIndex(), index) >= kMaxBins) {
            merge(10);
            index = floorDiv(at, interval_);
        }
        if (index < base_) {  // a time earlier than any before
            bins_.insert(bins_.begin(), std::size_t(base_ - index), OverviewBin{});
            base_ = index;
        } else if (index > lastIndex()) {
            bins_.resize(std::size_t(index - base_ + 1));
        }
    } else {
        base_ = index;
        // Room for every interval it may hold, taken from the system as used.
        bins_.reserve(std::size_t(kMaxBins));
        bins_.resize(1);
    }
    recentIndex_ = index;
    recentStart_ = index * interval_;
    OverviewBin& b = bins_[std::size_t(index - base_)];
    if (b.frames == 0 || frame < b.firstFrame) b.firstFrame = frame;
    ++b.frames;
    b.bytes += bytes;
    const std::size_t k = std::size_t(std::clamp(kind, 0, kOverviewKinds - 1));
    ++b.kindFrames[k];
    b.kindBytes[k] += bytes;
}

void Overview::merge(std::int64_t factor) {
    // In place: interval i goes to one at or before it, so nothing is
    // overwritten before it is read, and no memory is taken afresh.
    const std::int64_t first = floorDiv(base_, factor);
    std::size_t last = 0;
    for (std::size_t i = 0; i < bins_.size(); ++i) {
        const std::size_t to = std::size_t(floorDiv(base_ + std::int64_t(i), factor) - first);
        if (to == last && i != 0) {
            if (to != i) addInto(bins_[to], bins_[i]);
        } else if (to != i) {
            bins_[to] = bins_[i];
        }
        last = to;
    }
    bins_.resize(last + 1);
    base_ = first;
    interval_ *= factor;
    recentStart_ = std::numeric_limits<std::int64_t>::max();  // no interval to reuse
}

CaptureTime Overview::startTime(std::int64_t k) const {
    const std::int64_t ns = startOf(k);
    CaptureTime t;
    t.seconds = floorDiv(ns, 1'000'000'000);
    t.nanoseconds = std::uint32_t(ns - t.seconds * 1'000'000'000);
    t.decimals = decimals_;
    t.known = timed_;
    return t;
}

OverviewBin Overview::bin(std::int64_t k) const {
    if (bins_.empty() || k < base_ || k > lastIndex()) return {};
    return bins_[std::size_t(k - base_)];
}

Overview Overview::regrouped(std::int64_t interval) const {
    Overview o(*this);
    if (!bins_.empty() && interval > interval_ && interval % interval_ == 0)
        o.merge(interval / interval_);
    return o;
}

std::int64_t Overview::fittingInterval(int columns) const {
    const std::int64_t span = (lastIndex() - firstIndex() + 1) * interval_;
    std::int64_t fit = interval_;
    for (std::int64_t c : roundIntervals(timed_)) {
        if (c < interval_ || c % interval_ != 0) continue;
        fit = c;
        if ((span + c - 1) / c <= std::max(1, columns)) break;
    }
    return fit;
}

}  // namespace pelsid
