#pragma once
#include <array>
#include <optional>

#include "views/RowScroll.h"
#include "views/Surface.h"
#include "views/ViewWindow.h"

class QRadioButton;

namespace pelsid {

class SurfaceWidget;

/// What the binary rainfall and the byte frequency view share: one pixel row
/// per packet in picGraph, in static or dynamic scroll as chosen with
/// radScroll(0) and radScroll(1), and one row per packet in the view's
/// thumbnail whether the window is shown or not. A subclass draws the rows.
/// The buttons write the scroll mode into the view's settings; drawing reads
/// only the copy beginRun takes.
class ScrollingViewWindow : public ViewWindow {
    Q_OBJECT
  public:
    static constexpr const char* kStaticScroll = "Static Scroll";
    static constexpr const char* kDynamicScroll = "Dynamic Scroll";

    /// `thumbnail` is the main window's number of the view's thumbnail;
    /// `shotSuffix` the screenshot file's suffix.
    ScrollingViewWindow(ViewContext& context, const QString& objectName, const QString& caption,
                        int thumbnail, const char* shotSuffix, QWidget* parent = nullptr);

    void Plot(const PlayedPacket& packet) final;
    void plotThumbnail(const PlayedPacket& packet) final;
    void plotRun(std::span<const PlayedPacket> run) final;
    void plotThumbnailRun(std::span<const PlayedPacket> run) final;
    void clear() override;
    /// Takes the scroll mode for the run; a subclass adds its own settings.
    void beginRun() override;

    /// Back to the top of an empty picture; modes and options stay.
    void initVis();
    /// Thumbnail border off.
    void initVisThumb();
    /// The PVR chose a range: back to an empty picture, border off.
    void rangeChosen() override { reinitialise(); }

    Surface& picGraph() { return picGraph_; }
    const Surface& picGraphBack() const { return picGraphBack_; }
    Surface& thumbnail();
    int scrollLocation() const { return scrollLocation_; }
    int thumbnailScrollLocation() const { return thumbnailScrollLocation_; }

  protected:
    /// initVis, then initVisThumb.
    void reinitialise();
    /// Draws the packet on `row` of `target` (picGraph).
    virtual void drawRow(Surface& target, int row, const PlayedPacket& packet) = 0;
    virtual void drawThumbnailRow(Surface& thumbnail, int row, const PlayedPacket& packet) = 0;

    /// New picture size: both surfaces cleared, drawing starts at the top.
    void setPictureSize(int width, int height);
    SurfaceWidget* pictureWidget() const { return picWidget_; }
    QRadioButton* radScroll(int index) const { return radScroll_[index]; }
    std::vector<ShotFile> screenshotFiles() const override;

  private:
    /// Draws one packet with the run's settings.
    void plotOne(const PlayedPacket& packet);

    Surface picGraph_;
    Surface picGraphBack_;
    SurfaceWidget* picWidget_;
    std::array<QRadioButton*, 2> radScroll_{};
    // The selected button's mode, none when neither is selected; and the run's copy.
    std::optional<ScrollMode> scroll_ = ScrollMode::Static;
    std::optional<ScrollMode> runScroll_ = ScrollMode::Static;
    int scrollLocation_ = 0;
    int thumbnailScrollLocation_ = 0;
    int thumbnail_;
    const char* shotSuffix_;
};

}  // namespace pelsid
