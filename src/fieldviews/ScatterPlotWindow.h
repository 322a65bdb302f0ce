#pragma once
#include <string_view>

#include "fieldviews/RepeatedDrawing.h"
#include "views/Surface.h"
#include "views/ViewWindow.h"

class QComboBox;
class QFrame;

namespace pelsid {

class AxisStore;
class SurfaceWidget;

/// frmVis5: every packet as one labelled point, its height the value of one
/// chosen header field and its horizontal place that of another. Its
/// thumbnail plots source network against packet length.
class ScatterPlotWindow : public ViewWindow {
    Q_OBJECT
  public:
    ScatterPlotWindow(ViewContext& context, AxisStore& axes, QWidget* parent = nullptr);
    /// Stores both axes' fields (the window is being unloaded).
    ~ScatterPlotWindow() override;

    void Plot(const PlayedPacket& packet) override;
    void plotThumbnail(const PlayedPacket& packet) override;
    void clear() override;

    /// Places the picture and controls for the window's size; clears the plot.
    void layoutWindow();

    Surface& picGraph() { return picGraph_; }
    /// 1 = vertical axis, 2 = horizontal axis.
    QComboBox* comboAxis(int k) const { return k == 1 ? vertical_ : horizontal_; }

    /// The label of a point: the horizontal value, a comma, the vertical value.
    static std::string pointLabel(std::string_view labelY, std::string_view labelX);

  protected:
    void resizeEvent(QResizeEvent* event) override;
    std::vector<ShotFile> screenshotFiles() const override;

  private:
    /// Everything a packet's point depends on.
    struct Drawing {
        std::uint32_t color = 0;
        int y = 0, x = 0;
        std::string label;
        bool operator==(const Drawing&) const = default;
    };
    void plotPoint(int y, int x, std::string_view labelY, std::string_view labelX);

    AxisStore& axes_;
    Surface picGraph_;
    SurfaceWidget* picGraphWidget_ = nullptr;
    QComboBox* vertical_ = nullptr;
    QComboBox* horizontal_ = nullptr;
    QFrame* shpVertAxis_ = nullptr;
    QFrame* shpHorzAxis_ = nullptr;
    std::uint32_t color_ = 0;  // packetColor of the packet being drawn
    QSize laidOut_;
    RepeatedDrawing<Drawing> repeated_;
};

}  // namespace pelsid
