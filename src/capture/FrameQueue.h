#pragma once
#include <cstdint>
#include <mutex>
#include <vector>

#include "store/FrameBatch.h"

namespace pelsid {

/// Frames handed from a capture thread to the thread that stores them. It
/// holds at most `capacity` frames; a frame beyond that is dropped and
/// counted, so a slow reader loses frames visibly, never silently.
class FrameQueue {
  public:
    static constexpr int kDefaultCapacity = 30000;

    /// The frames taken in one go.
    using Batch = FrameBatch;

    explicit FrameQueue(int capacity = kDefaultCapacity) : capacity_(capacity) {}

    /// Any thread. False when the queue was full and the frame was dropped.
    bool push(const std::uint8_t* data, int size, std::uint32_t wireLength = 0,
              const CaptureTime& time = {});
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
