#pragma once
#include "views/FrequencyRendering.h"
#include "views/ScrollingRenderer.h"

namespace pelsid {

/// The byte frequency view (frmVis2): one pixel row per packet with a
/// column for each byte value, set where the value occurs: in the packet's
/// colour, or red and blue by the value's share of the packet against a
/// threshold.
class ByteFrequencyRenderer : public ScrollingRenderer {
  public:
    static constexpr int kPictureWidth = 256;  // a column per byte value
    static constexpr int kPictureHeight = 400;
    static constexpr int kThresholdMaximum = 40;  // steps of half a per cent
    /// The entries of the mode list, in the order of FrequencyMode.
    static const QStringList& modeNames();

    explicit ByteFrequencyRenderer(Thumbnails& thumbnails);

    /// The controls' values: colouring (-1: none selected) and threshold position.
    struct Settings {
        int mode = 0;
        int threshold = kThresholdMaximum / 2;
    };
    const Settings& settings() const { return settings_.current(); }
    void setMode(int mode) { settings_.edit().mode = mode; }
    void setThreshold(int threshold) { settings_.edit().threshold = threshold; }
    void beginRun() override;
    std::vector<SettingControl> settingControls() override;

    /// initVis, then initVisThumb; the PVR's range strip calls it too.
    void initVis2All() { reinitialise(); }
    /// Gives the thumbnail a single-line border.
    void grayVisThumb();
    /// Hidden from the menu: the thumbnail's border goes.
    void menuHidden() override { initVisThumb(); }

    /// Colour of one cell of a packet; 0 means nothing is drawn.
    std::uint32_t scaleColor(const PlayedPacket& packet, float currentFrequency) const;
    FrequencyMode mode() const { return FrequencyMode(settings().mode); }

    /// The column's read-out: the byte value, whoever drew there.
    QString byteText(const QString& name, QPoint pos, const PlayedPacket* packet) const override;

  protected:
    void drawRow(Surface& target, int row, const PlayedPacket& packet) override;
    void drawThumbnailRow(Surface& thumbnail, int row, const PlayedPacket& packet) override;

  private:
    /// The threshold as a share of a packet, from `settings`.
    static double threshold(const Settings& settings);

    RunSettings<Settings> settings_;
};

}  // namespace pelsid
