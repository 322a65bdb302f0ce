#pragma once
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

#include "fieldviews/FieldViewRenderer.h"
#include "fieldviews/RepeatedDrawing.h"

namespace pelsid {

/// The scatter plot (frmVis5): every packet as one labelled point, its
/// height the value of one chosen header field and its horizontal place
/// that of another. Its thumbnail plots source network against packet
/// length. Its runs are drawn on the drawing thread.
class ScatterPlotRenderer : public FieldViewRenderer {
  public:
    static constexpr int kPictureWidth = 600;
    static constexpr int kPictureHeight = 400;

    /// The axes chosen last time, from the store.
    ScatterPlotRenderer(Thumbnails& thumbnails, AxisStore& axes);
    /// Stores both axes' fields.
    ~ScatterPlotRenderer() override;

    /// The choosers' values: the fields up (1) and across (2); -1 for none.
    struct Settings {
        int vertical = -1;
        int horizontal = -1;
    };
    const Settings& settings() const { return settings_.current(); }
    /// k = 1 (vertical), 2 (horizontal).
    void setAxis(int k, int axisIndex) {
        (k == 1 ? settings_.edit().vertical : settings_.edit().horizontal) = axisIndex;
    }
    /// A picture of `width` x `height`, empty.
    void resizePicture(int width, int height) { picGraph_.resize(width, height); }

    void plot(const PlayedPacket& packet) override;
    void plotThumbnail(const PlayedPacket& packet) override;
    bool drawsOffGuiThread() const override { return true; }
    void beginRun() override;
    void plotRun(std::span<const PlayedPacket> run) override;
    void plotThumbnailRun(std::span<const PlayedPacket> run) override;
    void clear() override;
    std::vector<ShotFile> screenshotFiles() const override {
        return {{&picGraph_, "_scatterplot.bmp"}};
    }
    std::vector<SettingControl> settingControls() override;

    /// The label of a point: the horizontal value, a comma, the vertical value.
    static std::string pointLabel(std::string_view labelY, std::string_view labelX);

  private:
    /// Everything a packet's point depends on.
    struct Drawing {
        std::uint32_t color = 0;
        int y = 0, x = 0;
        std::string label;
        bool operator==(const Drawing&) const = default;
    };
    /// The packet's point, none when neither axis knows it.
    std::optional<Drawing> drawingOf(const PlayedPacket& packet) const;
    void draw(OwnedDrawing<Drawing>&& drawing);
    /// The thumbnail's dot.
    std::pair<int, int> thumbnailDot(const PlayedPacket& packet) const;

    RunSettings<Settings> settings_;
    RepeatedDrawing<Drawing> repeated_;
    std::vector<OwnedDrawing<Drawing>> runDrawings_;  // reused for every run
};

}  // namespace pelsid
