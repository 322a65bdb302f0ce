#include "capture/FrameQueue.h"

#include <algorithm>

namespace pelsid {

bool FrameQueue::push(const std::uint8_t* data, int size, std::uint32_t wireLength,
                      const CaptureTime& time) {
    std::lock_guard lock(mutex_);
    if (pending_.size() >= capacity_) {
        ++dropped_;
        return false;
    }
    pending_.append({data, std::size_t(std::max(size, 0))},
                    {.wireLength = wireLength, .time = time, .linkType = 1});
    return true;
}

void FrameQueue::takeAll(Batch& out) {
    out.clear();
    std::lock_guard lock(mutex_);
    std::swap(out, pending_);
}

void FrameQueue::discard() {
    std::lock_guard lock(mutex_);
    pending_.clear();
}

int FrameQueue::waiting() const {
    std::lock_guard lock(mutex_);
    return pending_.size();
}

std::uint64_t FrameQueue::dropped() const {
    std::lock_guard lock(mutex_);
    return dropped_;
}

}  // namespace pelsid
