#pragma once
#include "fieldviews/FieldViewWindow.h"
#include "fieldviews/ScatterPlotRenderer.h"

class QComboBox;
class QFrame;

namespace pelsid {

/// frmVis5: shows a ScatterPlotRenderer and edits its two axes.
class ScatterPlotWindow : public FieldViewWindow {
    Q_OBJECT
  public:
    /// A window with a renderer of its own.
    ScatterPlotWindow(ViewContext& context, AxisStore& axes, QWidget* parent = nullptr);
    ScatterPlotWindow(ViewContext& context, ScatterPlotRenderer& renderer,
                      QWidget* parent = nullptr);

    ScatterPlotRenderer& renderer() { return view_; }
    void layoutWindow() override;

    /// 1 = vertical axis, 2 = horizontal axis.
    QComboBox* comboAxis(int k) const { return k == 1 ? vertical_ : horizontal_; }
    /// The label of a point: the horizontal value, a comma, the vertical value.
    static std::string pointLabel(std::string_view labelY, std::string_view labelX) {
        return ScatterPlotRenderer::pointLabel(labelY, labelX);
    }

  private:
    ScatterPlotWindow(ViewContext& context, ScatterPlotRenderer& renderer, bool ownsRenderer,
                      QWidget* parent);
    /// Places the picture and the controls for the window's size; with
    /// `redraw` (or at another size) the picture starts afresh.
    void place(bool redraw);

    ScatterPlotRenderer& view_;
    QComboBox* vertical_ = nullptr;
    QComboBox* horizontal_ = nullptr;
    QFrame* shpVertAxis_ = nullptr;
    QFrame* shpHorzAxis_ = nullptr;
};

}  // namespace pelsid
