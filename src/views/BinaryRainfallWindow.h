#pragma once
#include "views/BinaryRendering.h"
#include "views/ScrollingViewWindow.h"

class QComboBox;
class QLabel;
class QPushButton;
class QWidget;

namespace pelsid {

/// frmVis4: every packet as one pixel row of its bytes, in one of four
/// densities, with printable and NOP bytes optionally marked; the thumbnail
/// is always the 8:1 rendering in green. Its runs are drawn on the drawing thread.
class BinaryRainfallWindow : public ScrollingViewWindow {
    Q_OBJECT
  public:
    static constexpr int kDefaultWidth = 600;
    static constexpr int kDefaultHeight = 473;  // a 600 x 400 picture and the strip

    explicit BinaryRainfallWindow(ViewContext& context, QWidget* parent = nullptr);

    /// initVis, then initVisThumb; the PVR's range strip calls it too.
    void initVisAll() { reinitialise(); }

    /// The controls' values: drawing mode (-1: none selected) and highlights.
    struct Settings {
        int mode = int(BinaryMode::Rainfall8);
        Highlights highlights;
    };
    const Settings& settings() const { return settings_; }

    BinaryMode mode() const { return BinaryMode(settings_.mode); }
    Highlights highlights() const { return settings_.highlights; }

    bool drawsOffGuiThread() const override { return true; }
    void beginRun() override;

  protected:
    void drawRow(Surface& target, int row, const PlayedPacket& packet) override;
    void drawThumbnailRow(Surface& thumbnail, int row, const PlayedPacket& packet) override;
    void resizeEvent(QResizeEvent* event) override;
    /// The byte (in 1:1 the bit) of the packet that the column shows.
    QString byteText(SurfaceWidget& picture, QPoint pos, const PlayedPacket* packet) const override;

  private:
    void nextMode();

    QComboBox* cmbVisMode_;
    QLabel* lblHighlight_;
    QPushButton* tglASCII_;
    QPushButton* tglNOP_;
    QWidget* strip_;
    Settings settings_;
    Settings run_;  // what the run being drawn uses
};

}  // namespace pelsid
