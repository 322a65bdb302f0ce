#pragma once
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

#include "fieldviews/FieldViewWindow.h"
#include "fieldviews/RepeatedDrawing.h"

class QComboBox;
class QFrame;

namespace pelsid {

/// frmVis5: every packet as one labelled point, its height the value of one
/// chosen header field and its horizontal place that of another. Its
/// thumbnail plots source network against packet length. Its runs are drawn
/// on the drawing thread.
class ScatterPlotWindow : public FieldViewWindow {
    Q_OBJECT
  public:
    ScatterPlotWindow(ViewContext& context, AxisStore& axes, QWidget* parent = nullptr);
    /// Stores both axes' fields (the window is being unloaded).
    ~ScatterPlotWindow() override;

    /// The choosers' values: the fields up (1) and across (2); -1 for none.
    struct Settings {
        int vertical = -1;
        int horizontal = -1;
    };
    const Settings& settings() const { return settings_; }

    void Plot(const PlayedPacket& packet) override;
    void plotThumbnail(const PlayedPacket& packet) override;
    bool drawsOffGuiThread() const override { return true; }
    void beginRun() override;
    void plotRun(std::span<const PlayedPacket> run) override;
    void plotThumbnailRun(std::span<const PlayedPacket> run) override;
    void clear() override;

    void layoutWindow() override;

    /// 1 = vertical axis, 2 = horizontal axis.
    QComboBox* comboAxis(int k) const { return k == 1 ? vertical_ : horizontal_; }

    /// The label of a point: the horizontal value, a comma, the vertical value.
    static std::string pointLabel(std::string_view labelY, std::string_view labelX);

  protected:
    std::vector<ShotFile> screenshotFiles() const override;

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

    QComboBox* vertical_ = nullptr;
    QComboBox* horizontal_ = nullptr;
    QFrame* shpVertAxis_ = nullptr;
    QFrame* shpHorzAxis_ = nullptr;
    Settings settings_;
    Settings run_;  // what the run being drawn uses
    RepeatedDrawing<Drawing> repeated_;
    std::vector<OwnedDrawing<Drawing>> runDrawings_;  // reused for every run
};

}  // namespace pelsid
