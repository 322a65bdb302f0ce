#pragma once
#include <QObject>
#include <atomic>
#include <cstdint>
#include <string>

#include "capture/CaptureAdapter.h"
#include "capture/FrameQueue.h"
#include "capture/LiveCapture.h"

namespace pelsid {

/// Counters of one capture, since its start.
struct CaptureStats {
    std::uint64_t captured = 0;       // frames the source took from the adapter
    std::uint64_t kernelDropped = 0;  // frames the kernel could not hand over
    std::uint64_t queueDropped = 0;   // frames dropped because the hand-over queue was full
    std::uint64_t cut = 0;            // frames longer than a packet slot, cut to it
};

/// The packet-capture component of the capture window: refresh the adapter
/// list, count and read adapters, select one, start, stop, and one
/// packetArrived per frame on the thread that owns the source.
///
/// A source that captures on another thread calls handOver() there; frames
/// wait in a bounded queue and cross to the owning thread in batches through
/// a queued signal.
class CaptureSource : public QObject {
    Q_OBJECT
  public:
    explicit CaptureSource(QObject* parent = nullptr);
    ~CaptureSource() override;

    virtual void refresh() = 0;
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
    /// After stop() returns, no packetArrived follows; frames still waiting
    /// in the queue are counted as dropped by it.
    virtual void stop() = 0;
    virtual bool isCapturing() const = 0;

    CaptureStats stats() const;
    /// Frames waiting in the hand-over queue.
    int waiting() const { return queue_.waiting(); }

  signals:
    /// One captured frame: its bytes (at most a packet slot) and their number.
    void packetArrived(const std::uint8_t* data, int size);
    /// The capture ended by itself (the adapter went away); it is stopped now.
    void failed(const QString& message);
    /// A batch waits in the queue (emitted on the capturing thread).
    void framesWaiting();

  protected:
    /// Any thread: counts the frame and queues it for packetArrived.
    void handOver(const std::uint8_t* data, int captured, int wireLength);
    /// Owning thread: emits packetArrived for every waiting frame, oldest first.
    void deliver();
    /// Counters back to zero and delivery on, for a new start.
    void beginDelivery();
    /// Delivery off: what still waits is dropped and counted.
    void endDelivery();
    void setKernelDropped(std::uint64_t n) { kernelDropped_ = n; }

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
};

}  // namespace pelsid
