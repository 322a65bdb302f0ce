#pragma once
#include <optional>

#include "raster/Surface.h"
#include "views/RowScroll.h"
#include "views/RunSettings.h"
#include "views/ViewRenderer.h"

namespace pelsid {

/// What the binary rainfall and the byte frequency view share: one pixel row
/// per packet in picGraph, in static or dynamic scroll (radScroll(0) and
/// radScroll(1)), and one row per packet in the view's thumbnail whether a
/// window shows it or not. A subclass draws the rows.
class ScrollingRenderer : public ViewRenderer {
  public:
    /// `thumbnail` is the main window's number of the view's thumbnail;
    /// `shotSuffix` the screenshot file's suffix.
    ScrollingRenderer(Thumbnails& thumbnails, int thumbnail, const char* shotSuffix);

    void plot(const PlayedPacket& packet) final;
    void plotThumbnail(const PlayedPacket& packet) final;
    void plotRun(std::span<const PlayedPacket> run) final;
    void plotThumbnailRun(std::span<const PlayedPacket> run) final;
    void clear() override;
    /// Takes the scroll mode for the run; a subclass adds its own settings.
    void beginRun() override;
    std::vector<ShotFile> screenshotFiles() const override { return {{&picGraph_, shotSuffix_}}; }
    std::vector<SettingControl> settingControls() override;

    /// The scroll mode chosen (none when neither button is selected).
    std::optional<ScrollMode> scrollMode() const { return scroll_.current(); }
    void setScrollMode(std::optional<ScrollMode> mode) { scroll_.edit() = mode; }

    /// Back to the top of an empty picture; modes and options stay.
    void initVis();
    /// Thumbnail border off.
    void initVisThumb();
    /// initVis, then initVisThumb.
    void reinitialise();
    /// The PVR chose a range: back to an empty picture, border off.
    void rangeChosen() override { reinitialise(); }

    Surface& picGraph() { return picGraph_; }
    Surface& thumbnail();
    int scrollLocation() const { return scrollLocation_; }
    int thumbnailScrollLocation() const { return thumbnailScrollLocation_; }
    /// New picture size: cleared, drawing starts at the top.
    void setPictureSize(int width, int height);

  protected:
    /// Draws the packet on `row` of `target` (picGraph).
    virtual void drawRow(Surface& target, int row, const PlayedPacket& packet) = 0;
    virtual void drawThumbnailRow(Surface& thumbnail, int row, const PlayedPacket& packet) = 0;

    int thumbnailNumber() const { return thumbnail_; }

  private:
    /// Draws one packet with the run's settings.
    void plotOne(const PlayedPacket& packet);

    Surface picGraph_;
    RunSettings<std::optional<ScrollMode>> scroll_{ScrollMode::Static};
    int scrollLocation_ = 0;
    int thumbnailScrollLocation_ = 0;
    int thumbnail_;
    const char* shotSuffix_;
};

}  // namespace pelsid
