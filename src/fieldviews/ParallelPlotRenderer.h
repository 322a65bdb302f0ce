#pragma once
#include <array>

#include "fieldviews/AxisMarks.h"
#include "fieldviews/FieldViewRenderer.h"
#include "fieldviews/RepeatedDrawing.h"

namespace pelsid {

/// The parallel coordinate plot (frmVis3): every packet as a polyline
/// across 2 to 18 axes, each showing a header field chosen by the user; the
/// newest packet's values are printed beside the axes. Its thumbnail draws
/// source network against destination port. Its runs are drawn on the
/// drawing thread.
class ParallelPlotRenderer : public FieldViewRenderer {
  public:
    static constexpr int kPictureWidth = 600;
    static constexpr int kPictureHeight = 400;

    /// The axes chosen last time, from the store.
    ParallelPlotRenderer(Thumbnails& thumbnails, AxisStore& axes);
    /// Stores the fields of the axes in use.
    ~ParallelPlotRenderer() override;

    /// The controls' values: the field of each axis (-1: none) and how many axes show.
    struct Settings {
        std::array<int, kMaxAxes> axis{};
        int numAxes = 2;
    };
    const Settings& settings() const { return settings_.current(); }
    /// Axis k = 1..18 shows field `axisIndex`.
    void setAxis(int k, int axisIndex) { settings_.edit().axis[k - 1] = axisIndex; }
    /// Another axis count lays the picture out again, empty.
    void setNumAxes(int numAxes);
    /// A picture of `width` x `height`, empty but for the axes.
    void layout(int width, int height);

    void plot(const PlayedPacket& packet) override;
    void plotThumbnail(const PlayedPacket& packet) override;
    bool drawsOffGuiThread() const override { return true; }
    void beginRun() override;
    void plotRun(std::span<const PlayedPacket> run) override;
    void plotThumbnailRun(std::span<const PlayedPacket> run) override;
    /// Empties picture and thumbnail; axis choices and count stay.
    void clear() override;
    std::vector<ShotFile> screenshotFiles() const override {
        return {{&picGraph_, "_parallelcoord.bmp"}};
    }
    std::vector<SettingControl> settingControls() override;

    int numAxes() const { return settings().numAxes; }
    /// x of axis k = 1..numAxes.
    int axisX(int k) const { return axisX_[k - 1]; }

  private:
    /// Everything a packet's drawing depends on besides the layout.
    struct Drawing {
        std::uint32_t color = 0;
        int axes = 0;
        std::array<int, kMaxAxes> y{};
        std::array<bool, kMaxAxes> valid{};
        std::array<std::string, kMaxAxes> label{};
        bool operator==(const Drawing&) const = default;
    };
    Drawing drawingOf(const PlayedPacket& packet) const;
    void draw(OwnedDrawing<Drawing>&& drawing);
    /// The thumbnail's line: its heights at the left and right edges.
    std::pair<int, int> thumbnailLine(const PlayedPacket& packet) const;

    RunSettings<Settings> settings_;
    std::array<int, kMaxAxes> axisX_{};
    RepeatedDrawing<Drawing> repeated_;
    std::vector<OwnedDrawing<Drawing>> runDrawings_;  // reused for every run
};

}  // namespace pelsid
