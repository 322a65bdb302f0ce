#pragma once
#include <QObject>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <string>

#include "capture/CaptureAdapter.h"
#include "capture/FrameQueue.h"
#include "capture/LiveCapture.h"
#include "store/CaptureWriter.h"

namespace pelsid {

/// Counters of one capture, since its start.
struct CaptureStats {
    std::uint64_t captured = 0;       // frames the source took from the adapter
    std::uint64_t kernelDropped = 0;  // frames the kernel could not hand over
    std::uint64_t queueDropped = 0;   // frames dropped because the hand-over queue was full
    std::uint64_t cut = 0;            // frames longer than a packet slot, cut to it
};

/// What became of a recording, once its capture stopped.
struct RecordingResult {
    std::string path;
    std::uint64_t frames = 0;
    std::string error;  // names the file and the reason; the file keeps what was written before

    bool ok() const { return error.empty(); }
};

/// The packet-capture component of the capture window: refresh the adapter
/// list, count and read adapters, select one, start, stop, and framesArrived
/// with every batch of frames on the thread that owns the source.
///
/// A source that captures on another thread calls handOver() there; frames
/// wait in a bounded queue and cross to the owning thread in batches through
/// a queued signal. A recording is written on the capturing side as frames
/// are handed over, every one of them, whether the queue keeps it or not.
class CaptureSource : public QObject {
    Q_OBJECT
  public:
    explicit CaptureSource(QObject* parent = nullptr);
    ~CaptureSource() override;

    virtual void refresh() = 0;
    /// Why the last refresh() found no adapters; empty when it did, or none are there.
    virtual std::string adapterError() const { return {}; }
    virtual int adapterCount() const = 0;
    /// Adapter i, counted from 1.
    virtual const CaptureAdapter& adapter(int i) const = 0;
    /// Later starts capture on adapter i (counted from 1).
    virtual void select(int i) = 0;
    /// BPF expression for the next start; empty for every frame.
    void setFilter(const std::string& filter) { filter_ = filter; }
    const std::string& filter() const { return filter_; }
    /// Starts capturing on the selected adapter; on failure nothing runs.
    virtual CaptureProblem start() = 0;
    /// After stop() returns, no framesArrived follows; frames still waiting
    /// in the queue are counted as dropped by it.
    virtual void stop() = 0;
    virtual bool isCapturing() const = 0;

    /// Records every frame of the next capture into a pcap (pcapng when the
    /// name ends so) at `path`, replacing what is there: the caller has asked.
    /// The file is made now and written in place from the first frame on,
    /// flushed at least once a second. On failure the reason is returned
    /// (naming the file) and nothing will be recorded. Only while not
    /// capturing; an empty path records nothing (and removes a file chosen
    /// but not yet recorded to).
    std::string recordTo(const std::string& path);
    /// The path the next or running capture records to; empty for none.
    const std::string& recordingPath() const { return recordPath_; }
    /// The outcome of the last recording, after stop() (path empty when none).
    const RecordingResult& lastRecording() const { return lastRecording_; }
    /// Frames recorded so far in the running capture.
    std::uint64_t recorded() const { return recorded_.load(std::memory_order_relaxed); }

    CaptureStats stats() const;
    /// Frames waiting in the hand-over queue.
    int waiting() const { return queue_.waiting(); }

  signals:
    /// Captured frames, oldest first, each at most a packet slot long.
    void framesArrived(const FrameBatch& frames);
    /// The capture ended by itself (the adapter went away); it is stopped now.
    void failed(const QString& message);
    /// A batch waits in the queue (emitted on the capturing thread).
    void framesWaiting();

  protected:
    /// The capturing thread: counts the frame, records it and queues it for framesArrived.
    void handOver(const std::uint8_t* data, int captured, int wireLength,
                  const CaptureTime& time = {});
    /// Owning thread: emits framesArrived with every waiting frame.
    void deliver();
    /// Counters back to zero and delivery on, for a new start.
    void beginDelivery();
    /// Delivery off: what still waits is dropped and counted; a recording is
    /// closed. Call after the capturing thread has ended.
    void endDelivery();
    void setKernelDropped(std::uint64_t n) { kernelDropped_ = n; }
    /// The capturing thread, also while no frame comes: flushes the recording
    /// when its last flush is half a second old.
    void keepRecordingFresh();

  private:
    std::string filter_;
    FrameQueue queue_;
    FrameQueue::Batch spare_;
    bool delivering_ = false;
    std::uint64_t queueDroppedBase_ = 0;
    std::uint64_t discarded_ = 0;
    std::atomic<std::uint64_t> captured_{0};
    std::atomic<std::uint64_t> kernelDropped_{0};
    std::atomic<std::uint64_t> cut_{0};
    std::atomic<bool> wakePending_{false};
    // Set on the owning thread while nothing captures, written only by the capturing side.
    std::string recordPath_;
    std::unique_ptr<CaptureWriter> recorder_;
    bool recordFailed_ = false;
    static constexpr std::chrono::milliseconds kFlushInterval{500};
    std::chrono::steady_clock::time_point nextFlush_;
    std::atomic<std::uint64_t> recorded_{0};
    RecordingResult lastRecording_;
};

}  // namespace pelsid
