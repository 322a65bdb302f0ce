#pragma once
#include "views/BinaryRendering.h"
#include "views/ScrollingRenderer.h"

namespace pelsid {

/// The binary rainfall (frmVis4): every packet as one pixel row of its
/// bytes, in one of four densities, with printable and NOP bytes optionally
/// marked; the thumbnail is always the 8:1 rendering in green. Its runs are
/// drawn on the drawing thread.
class BinaryRainfallRenderer : public ScrollingRenderer {
  public:
    static constexpr int kPictureWidth = 600;
    static constexpr int kPictureHeight = 400;
    /// The entries of the mode list, in the order of BinaryMode.
    static const QStringList& modeNames();

    explicit BinaryRainfallRenderer(Thumbnails& thumbnails);

    /// The controls' values: drawing mode (-1: none selected) and highlights.
    struct Settings {
        int mode = int(BinaryMode::Rainfall8);
        Highlights highlights;
    };
    const Settings& settings() const { return settings_.current(); }
    /// A new mode starts the picture afresh.
    void setMode(int mode);
    void setHighlights(Highlights highlights) { settings_.edit().highlights = highlights; }

    BinaryMode mode() const { return BinaryMode(settings().mode); }
    Highlights highlights() const { return settings().highlights; }

    /// initVis, then initVisThumb; the PVR's range strip calls it too.
    void initVisAll() { reinitialise(); }

    bool drawsOffGuiThread() const override { return true; }
    void beginRun() override;
    std::vector<SettingControl> settingControls() override;
    /// The byte (in 1:1 the bit) of the packet that the column shows.
    QString byteText(const QString& name, QPoint pos, const PlayedPacket* packet) const override;

  protected:
    void drawRow(Surface& target, int row, const PlayedPacket& packet) override;
    void drawThumbnailRow(Surface& thumbnail, int row, const PlayedPacket& packet) override;

  private:
    RunSettings<Settings> settings_;
};

}  // namespace pelsid
