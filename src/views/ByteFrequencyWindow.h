#pragma once
#include "views/FrequencyRendering.h"
#include "views/ScrollingViewWindow.h"

class QComboBox;
class QLabel;
class QScrollBar;

namespace pelsid {

/// frmVis2: one pixel row per packet with a column for each byte value,
/// set where the value occurs: in the packet's colour, or red and blue by
/// the value's share of the packet against a threshold. The picture keeps
/// its size; the window grows by the threshold strip in the share colouring.
class ByteFrequencyWindow : public ScrollingViewWindow {
    Q_OBJECT
  public:
    static constexpr int kPictureWidth = 256;  // a column per byte value
    static constexpr int kPictureHeight = 400;
    static constexpr int kThresholdMaximum = 40;      // steps of half a per cent
    static constexpr int kThresholdStripHeight = 70;  // 1045 twips

    explicit ByteFrequencyWindow(ViewContext& context, QWidget* parent = nullptr);

    /// initVis, then initVisThumb; the PVR's range strip calls it too.
    void initVis2All() { reinitialise(); }
    /// Gives the thumbnail a single-line border.
    void grayVisThumb();
    /// Hidden from the menu: the thumbnail's border goes.
    void menuHidden() override { initVisThumb(); }

    /// The controls' values: colouring (-1: none selected) and threshold position.
    struct Settings {
        int mode = -1;
        int threshold = kThresholdMaximum / 2;
    };
    const Settings& settings() const { return settings_; }
    void beginRun() override;

    /// Colour of one cell of a packet; 0 means nothing is drawn.
    std::uint32_t scaleColor(const PlayedPacket& packet, float currentFrequency) const;
    FrequencyMode mode() const { return FrequencyMode(settings_.mode); }
    /// The window's height without the threshold strip.
    int originalHeight() const { return originalHeight_; }

  protected:
    void drawRow(Surface& target, int row, const PlayedPacket& packet) override;
    void drawThumbnailRow(Surface& thumbnail, int row, const PlayedPacket& packet) override;
    /// The column's read-out: the byte value, whoever drew there.
    QString byteText(SurfaceWidget& picture, QPoint pos, const PlayedPacket* packet) const override;

  private:
    void applyMode();
    void showThreshold();
    /// The threshold as a share of a packet, from `settings`.
    static double threshold(const Settings& settings);

    QComboBox* cmbVisMode_;
    QLabel* lblStaticScroll_;
    QLabel* lblDynamicScroll_;
    QScrollBar* scrThreshold_;
    QLabel* lblFrequencyThreshold_;
    QLabel* lblThresholdMin_;
    QLabel* lblThresholdMax_;
    QLabel* lblThreshold_;
    int originalHeight_ = 0;
    Settings settings_;
    Settings run_;  // what the run being drawn uses
};

}  // namespace pelsid
