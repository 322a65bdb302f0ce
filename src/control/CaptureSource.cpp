#include "control/CaptureSource.h"

#include <unistd.h>

#include <algorithm>

#include "store/PacketBuffer.h"

namespace pelsid {

CaptureSource::CaptureSource(QObject* parent) : QObject(parent) {
    connect(this, &CaptureSource::framesWaiting, this, &CaptureSource::deliver,
            Qt::QueuedConnection);
}

CaptureSource::~CaptureSource() = default;

std::string CaptureSource::recordTo(const std::string& path) {
    if (recorder_) {
        // Chosen, then given up before any capture: the empty file goes again.
        recorder_->abandon();
        ::unlink(recorder_->path().c_str());
    }
    recorder_.reset();
    recordPath_.clear();
    if (path.empty()) return {};
    // Written in place from the first frame: a capture ended by a crash or a
    // kill keeps every frame up to the last flush.
    auto writer = std::make_unique<CaptureWriter>(path, CaptureWriter::formatOf(path), true,
                                                  CaptureWriter::Placement::InPlace);
    if (!writer->open()) return writer->error();
    recorder_ = std::move(writer);
    recordPath_ = path;
    return {};
}

CaptureStats CaptureSource::stats() const {
    CaptureStats s;
    s.captured = captured_;
    s.kernelDropped = kernelDropped_;
    s.queueDropped = queue_.dropped() - queueDroppedBase_ + discarded_;
    s.cut = cut_;
    return s;
}

void CaptureSource::handOver(const std::uint8_t* data, int captured, int wireLength,
                             const CaptureTime& time) {
    captured_.fetch_add(1, std::memory_order_relaxed);
    if (wireLength > PacketBuffer::kSlotBytes) cut_.fetch_add(1, std::memory_order_relaxed);
    if (captured > PacketBuffer::kSlotBytes) captured = PacketBuffer::kSlotBytes;
    const auto wire = std::uint32_t(std::max(wireLength, captured));
    if (recorder_ && !recordFailed_) {
        if (recorder_->write({data, std::size_t(captured)}, wire, time))
            recorded_.fetch_add(1, std::memory_order_relaxed);
        else
            recordFailed_ = true;
        keepRecordingFresh();
    }
    queue_.push(data, captured, wire, time);
    // One wake-up per batch: the reader takes everything that waits when it runs.
    if (!wakePending_.exchange(true)) emit framesWaiting();
}

void CaptureSource::keepRecordingFresh() {
    if (!recorder_ || recordFailed_) return;
    const auto now = std::chrono::steady_clock::now();
    if (now < nextFlush_) return;
    nextFlush_ = now + kFlushInterval;
    if (!recorder_->flush()) recordFailed_ = true;
}

void CaptureSource::deliver() {
    wakePending_ = false;
    // A handler may stop the capture (and so come back here): work on a batch of our own.
    FrameQueue::Batch batch = std::move(spare_);
    queue_.takeAll(batch);
    if (batch.size() > 0) {
        if (delivering_)
            emit framesArrived(batch);
        else
            discarded_ += std::uint64_t(batch.size());
    }
    spare_ = std::move(batch);
}

void CaptureSource::beginDelivery() {
    queue_.discard();
    queueDroppedBase_ = queue_.dropped();
    discarded_ = 0;
    captured_ = 0;
    kernelDropped_ = 0;
    cut_ = 0;
    recorded_ = 0;
    recordFailed_ = false;
    nextFlush_ = std::chrono::steady_clock::now() + kFlushInterval;
    lastRecording_ = {};
    delivering_ = true;
}

void CaptureSource::endDelivery() {
    delivering_ = false;
    discarded_ += std::uint64_t(queue_.waiting());
    queue_.discard();
    if (!recorder_) return;
    // A failed recording keeps the frames written before the failure.
    lastRecording_ = {recorder_->path(), recorder_->framesWritten(), {}};
    if (recordFailed_ || !recorder_->finish()) {
        lastRecording_.error = recorder_->error();
        recorder_->abandon();
    }
    recorder_.reset();
    recordPath_.clear();
}

}  // namespace pelsid
