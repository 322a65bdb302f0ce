#include "control/CaptureSource.h"

#include "store/PacketBuffer.h"

namespace pelsid {

CaptureSource::CaptureSource(QObject* parent) : QObject(parent) {
    connect(this, &CaptureSource::framesWaiting, this, &CaptureSource::deliver,
            Qt::QueuedConnection);
}

CaptureSource::~CaptureSource() = default;

CaptureStats CaptureSource::stats() const {
    CaptureStats s;
    s.captured = captured_;
    s.kernelDropped = kernelDropped_;
    s.queueDropped = queue_.dropped() - queueDroppedBase_ + discarded_;
    s.cut = cut_;
    return s;
}

void CaptureSource::handOver(const std::uint8_t* data, int captured, int wireLength) {
    captured_.fetch_add(1, std::memory_order_relaxed);
    if (wireLength > PacketBuffer::kSlotBytes) cut_.fetch_add(1, std::memory_order_relaxed);
    if (captured > PacketBuffer::kSlotBytes) captured = PacketBuffer::kSlotBytes;
    queue_.push(data, captured);
    // One wake-up per batch: the reader takes everything that waits when it runs.
    if (!wakePending_.exchange(true)) emit framesWaiting();
}

void CaptureSource::deliver() {
    wakePending_ = false;
    // A handler may stop the capture (and so come back here): work on a batch of our own.
    FrameQueue::Batch batch = std::move(spare_);
    queue_.takeAll(batch);
    int k = 0;
    for (; k < batch.size() && delivering_; ++k) emit packetArrived(batch.data(k), batch.length(k));
    discarded_ += std::uint64_t(batch.size() - k);
    spare_ = std::move(batch);
}

void CaptureSource::beginDelivery() {
    queue_.discard();
    queueDroppedBase_ = queue_.dropped();
    discarded_ = 0;
    captured_ = 0;
    kernelDropped_ = 0;
    cut_ = 0;
    delivering_ = true;
}

void CaptureSource::endDelivery() {
    delivering_ = false;
    discarded_ += std::uint64_t(queue_.waiting());
    queue_.discard();
}

}  // namespace pelsid
