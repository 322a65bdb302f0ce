#pragma once
#include <cstdint>
#include <mutex>
#include <vector>

namespace pelsid {

/// Frames handed from a capture thread to the thread that stores them. It
/// holds at most `capacity` frames; a frame beyond that is dropped and
/// counted, so a slow reader loses frames visibly, never silently.
class FrameQueue {
  public:
    static constexpr int kDefaultCapacity = 30000;

    /// The frames taken in one go: frame k is bytes[offsets[k] .. offsets[k + 1]).
    struct Batch {
        std::vector<std::uint8_t> bytes;
        std::vector<std::size_t> offsets{0};

        int size() const { return int(offsets.size()) - 1; }
        const std::uint8_t* data(int k) const { return bytes.data() + offsets[k]; }
        int length(int k) const { return int(offsets[k + 1] - offsets[k]); }
        void clear() {
            bytes.clear();
            offsets.assign(1, 0);
        }
    };

    explicit FrameQueue(int capacity = kDefaultCapacity) : capacity_(capacity) {}

    /// Any thread. False when the queue was full and the frame was dropped.
    /// `wasEmpty` tells the caller that a reader needs waking.
    bool push(const std::uint8_t* data, int size, bool* wasEmpty = nullptr);
    /// Moves every waiting frame into `out` (emptied first), oldest first.
    void takeAll(Batch& out);
    /// Drops every waiting frame without counting it.
    void discard();

    int waiting() const;
    std::uint64_t dropped() const;
    int capacity() const { return capacity_; }

  private:
    mutable std::mutex mutex_;
    Batch pending_;
    std::uint64_t dropped_ = 0;
    const int capacity_;
};

}  // namespace pelsid
