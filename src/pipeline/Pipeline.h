#pragma once
#include <QObject>
#include <QTimer>
#include <array>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <vector>

#include "pipeline/DrawingThread.h"
#include "pipeline/PacketSelection.h"
#include "pipeline/PacketView.h"
#include "store/FrameBatch.h"
#include "store/PacketBuffer.h"

namespace pelsid {

class FilterModel;

/// Plays packets from the buffer through the filter into the seven views.
///
/// A single packet plays at once. A range plays as a job in slices of about
/// 10 ms from the event loop, so windows stay responsive and user commands
/// run between two packets. Jobs run one at a time in order; a job skips
/// packets the buffer no longer holds and ends when the buffer is
/// re-initialised after it began. Within a slice a range goes to the views
/// in batches, and views that allow it draw a batch on a second thread
/// while the others draw it here.
class Pipeline : public QObject {
    Q_OBJECT
  public:
    /// Packets per run handed to the views while a range plays.
    static constexpr int kBatch = 1024;

    Pipeline(PacketBuffer& buffer, const FilterModel& filters, ViewSet& views,
             QObject* parent = nullptr);

    /// Plays packet numbers first..last (nothing when first > last).
    void playPackets(int first, int last);
    /// Plays first..last now, as runs, before anything else gets a turn:
    /// for frames that arrive live, drawn before more of them are stored.
    void playNow(int first, int last);
    void dispatchPacket(int packetNumber, const std::uint8_t* packetTxt, int packetLen);
    void clearAllViews();

    /// A held packet as it would be played now, with its summary; null
    /// when the buffer does not hold it.
    std::unique_ptr<HeldPacket> lookUp(int packetNumber) const;

    /// Packet number of the last packet handed to the views (0 before any).
    int lastPlayed() const { return lastPlayed_; }

    /// True while a range job is waiting or running.
    bool busy() const { return !jobs_.empty(); }
    /// Ends every job (the buffer was re-initialised or the program ends).
    void cancelAll();
    /// Plays every job to its end now, without giving the event loop a turn:
    /// for a caller that nobody watches.
    void playToEnd();
    /// Milliseconds of work per slice.
    void setSliceBudget(int ms) { sliceMs_ = ms; }
    /// Runs drawn partly on the drawing thread so far.
    int splitRuns() const { return splitRuns_; }

  signals:
    /// No job is left.
    void finished();
    /// Captured frames were stored (the buffer may not keep them all).
    void captured(const FrameBatch& batch);

  private:
    // Packets prepared for the views, ready to draw.
    struct Batch {
        std::vector<std::uint8_t> bytes;  // kBatch packetTxt arrays, zero beyond each packet
        std::vector<int> lengths;         // what each array holds
        std::vector<PacketFields> fields;
        std::vector<PlayedPacket> packets;
        int first = 0;  // the job's next packet when the batch was made
    };
    struct Job {
        int next;
        int last;
        std::uint64_t generation;
    };
    void playOne(int packetNumber);
    /// Copies a held packet into a packetTxt array that held `previousLen`
    /// bytes, zeroing what is left of those; returns the packet's length.
    int copyPacket(int packetNumber, std::uint8_t* packetTxt, int previousLen) const;
    /// The packet as the views get it, its bytes in `packetTxt` and its fields in `fields`.
    PlayedPacket played(int packetNumber, const std::uint8_t* packetTxt, int packetLen,
                        PacketFields& fields) const;
    void runSlice();
    /// Fills a batch from the job: packets held and passing the filter.
    void prepareBatch(Batch& batch, Job& job, int size);
    /// Draws a batch; `meanwhile` runs here while the second thread draws.
    void drawBatch(const Batch& batch, const std::function<void()>& meanwhile);

    PacketBuffer& buffer_;
    const FilterModel& filters_;
    ViewSet& views_;
    // packetTxt: the packet being played, zero beyond its end; packetLen_ of it are set.
    std::array<std::uint8_t, PacketBuffer::kSlotBytes> packetTxt_{};
    int packetLen_ = 0;
    PacketFields packetFields_;
    std::array<Batch, 2> batches_;  // one drawn while the other is made ready
    int current_ = 0;
    bool ready_ = false;  // batches_[current_] holds the front job's next packets
    std::unique_ptr<DrawingThread> drawing_;  // made when first needed
    std::deque<Job> jobs_;
    QTimer slice_;
    int sliceMs_ = 10;
    int lastPlayed_ = 0;
    int splitRuns_ = 0;
};

}  // namespace pelsid
