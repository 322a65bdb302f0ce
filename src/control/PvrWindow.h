#pragma once
#include <QWidget>
#include <functional>

#include "raster/Surface.h"

class QLabel;
class QPushButton;
class QScrollBar;
class QDoubleSpinBox;
class QSpinBox;

namespace pelsid {

class PlaybackController;
class SurfaceWidget;

/// The PVR window (frmFilters): shows a PlaybackController and edits it,
/// with transport buttons, a position bar and a buffer-range strip. Opening
/// the window resets the controller; closing it ends playback.
class PvrWindow : public QWidget {
    Q_OBJECT
  public:
    PvrWindow(PlaybackController& playback, std::function<void()> saveScreenshots,
              QWidget* parent = nullptr);
    ~PvrWindow() override;

  private:
    enum class Handle { None, Min, Max };

    void buildTransport();
    void buildRangeStrip();

    void showState();
    void showPosition(int packet);
    void showHeld();
    void showRange();
    void showMeasuredRate(double rate);
    /// Runs a click's action, then shows the state: a toggle button checks
    /// itself on a click whatever the controller makes of it.
    void clicked(void (PlaybackController::*action)());

    void handlePressed(Handle handle, QPoint pos);
    void handleMoved(Handle handle, QPoint pos);
    void handleReleased(Handle handle);

    PlaybackController& playback_;
    std::function<void()> saveScreenshots_;

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
    int valueAtPress_ = 0;

    Surface track_;
    Surface handle_;
    SurfaceWidget* picBufferSlider_ = nullptr;
    SurfaceWidget* sliderBufferMin_ = nullptr;
    SurfaceWidget* sliderBufferMax_ = nullptr;
    QLabel* lblBufferRange_ = nullptr;
    QLabel* lblRangeMin_ = nullptr;
    QLabel* lblRangeMax_ = nullptr;
    Handle dragging_ = Handle::None;
    int grabOffset_ = 0;  // twips
};

}  // namespace pelsid
