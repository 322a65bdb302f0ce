#include "capture/FrameQueue.h"

namespace pelsid {

bool FrameQueue::push(const std::uint8_t* data, int size, bool* wasEmpty) {
    std::lock_guard lock(mutex_);
    if (wasEmpty) *wasEmpty = pending_.size() == 0;
    if (pending_.size() >= capacity_) {
        ++dropped_;
        return false;
    }
    if (size > 0) pending_.bytes.insert(pending_.bytes.end(), data, data + size);
    pending_.offsets.push_back(pending_.bytes.size());
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
