#pragma once
#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>
#include <cstdint>
#include <functional>

#include "control/BufferRange.h"
#include "control/RateMeter.h"
#include "control/RealTimePacer.h"
#include "control/TickPacer.h"
#include "raster/Surface.h"

class QLabel;
class QPushButton;
class QScrollBar;
class QDoubleSpinBox;
class QSpinBox;

namespace pelsid {

class PacketBuffer;
class Pipeline;
class SurfaceWidget;

/// The PVR window (frmFilters): plays the buffer through the views like a
/// video recorder, with a position bar and a buffer-range strip.
///
/// Toggle buttons and the position bar carry a "tag" property; a handler that
/// moves one of them from the program locks it ("locked") so that its own
/// handlers ignore the change.
class PvrWindow : public QWidget {
    Q_OBJECT
  public:
    /// What the window asks of parts it does not own.
    struct Hooks {
        std::function<void()> saveScreenshots;
        /// Re-initialise the binary rainfall, then the byte frequency view.
        std::function<void()> reinitRangeViews;
        /// Monotonic time in nanoseconds; empty for the system's steady clock.
        std::function<std::int64_t()> clockNs;
    };

    PvrWindow(PacketBuffer& buffer, Pipeline& pipeline, Hooks hooks, QWidget* parent = nullptr);

    /// Shows the buffer's counters and sets the position bar's range to the
    /// held packets; never plays or clears anything.
    void updatePacketCounters();
    /// Shows the whole buffer as the replay range.
    void initFilters();
    /// The replay range last shown in the buffer-range strip (from the
    /// handles, or the whole buffer after a load).
    PacketRange bufferRange() const { return range_; }
    /// Whether a packet is to be played: every packet is.
    bool filter(int packetNumber) const;

    /// Timer interval for a rate: 1000 / rate ms, halves to even.
    static int intervalFor(int packetsPerSecond);

    /// The play timer's handler: performs as many ticks as the time elapsed
    /// since the last one calls for (tests call it with a fake clock). With
    /// "Real Time" pressed, a tick is due when the captured gap to the packet
    /// it plays, divided by the factor, has passed.
    void onPlayTimer();

  private:
    void buildTransport();
    void buildRangeStrip();
    void placeHandles();

    void playChanged();
    void pauseChanged();
    void stopChanged();
    void tick();
    void stepBackward();
    void stepForward();
    void speedChanged(int value);
    void realTimeChanged();
    void playRealTime();
    /// The wait before the packet the next tick plays, in Real Time.
    std::int64_t realTimeWait() const;
    std::int64_t periodNs() const;
    void positionChanged();
    void positionScrolled(int value);

    void playAt(int packetNumber);
    void setTimerRunning(bool on);
    void showMeasuredRate();

    void minHandlePressed(QPoint pos);
    void minHandleMoved(QPoint pos);
    void minHandleReleased();
    void maxHandlePressed(QPoint pos);
    void maxHandleMoved(QPoint pos);
    void maxHandleReleased();
    void applyRange();

    std::int64_t now() const;

    PacketBuffer& buffer_;
    Pipeline& pipeline_;
    Hooks hooks_;
    QElapsedTimer steady_;

    QLabel* lblPacketCounter_ = nullptr;
    QLabel* lblPacketMin_ = nullptr;
    QLabel* lblPacketMax_ = nullptr;
    QLabel* lblCurrentSpeed_ = nullptr;
    QLabel* lblMeasuredSpeed_ = nullptr;
    QSpinBox* spnSpeed_ = nullptr;
    QPushButton* tglLoop_ = nullptr;
    QPushButton* tglRealTime_ = nullptr;
    QDoubleSpinBox* spnRealTimeFactor_ = nullptr;
    QPushButton* btnPlay_ = nullptr;
    QPushButton* btnPause_ = nullptr;
    QPushButton* btnStop_ = nullptr;
    QScrollBar* scrPacket_ = nullptr;
    QTimer tmrPlayTimer_;
    TickPacer pacer_;
    RealTimePacer realTime_;
    RateMeter meter_;
    std::int64_t measuredShownAt_ = 0;
    int valueAtPress_ = 0;

    // Buffer-range strip, positions in twips.
    Surface track_;
    Surface handle_;
    SurfaceWidget* picBufferSlider_ = nullptr;
    SurfaceWidget* sliderBufferMin_ = nullptr;
    SurfaceWidget* sliderBufferMax_ = nullptr;
    QLabel* lblBufferRange_ = nullptr;
    QLabel* lblRangeMin_ = nullptr;
    QLabel* lblRangeMax_ = nullptr;
    PacketRange range_{1, 0};
    int minLeft_ = 0;
    int maxLeft_ = 0;
    int grabOffset_ = 0;
};

}  // namespace pelsid
