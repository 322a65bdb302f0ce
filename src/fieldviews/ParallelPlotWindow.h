#pragma once
#include <array>

#include "fieldviews/FieldViewWindow.h"
#include "fieldviews/ParallelPlotRenderer.h"

class QComboBox;
class QLabel;
class QSpinBox;

namespace pelsid {

/// frmVis3: shows a ParallelPlotRenderer and edits its axes: a chooser per
/// axis and the number of axes.
class ParallelPlotWindow : public FieldViewWindow {
    Q_OBJECT
  public:
    /// A window with a renderer of its own.
    ParallelPlotWindow(ViewContext& context, AxisStore& axes, QWidget* parent = nullptr);
    ParallelPlotWindow(ViewContext& context, ParallelPlotRenderer& renderer,
                       QWidget* parent = nullptr);

    ParallelPlotRenderer& renderer() { return view_; }
    void layoutWindow() override;

    QComboBox* comboAxis(int k) const { return comboAxis_[k - 1]; }
    QSpinBox* spnNumAxes() const { return spnNumAxes_; }

  private:
    ParallelPlotWindow(ViewContext& context, ParallelPlotRenderer& renderer, bool ownsRenderer,
                       QWidget* parent);
    /// The picture's size for the window's.
    QSize pictureSize() const;
    /// Places the picture and the controls over the renderer's layout.
    void placeControls();

    ParallelPlotRenderer& view_;
    std::array<QComboBox*, kMaxAxes> comboAxis_{};
    QSpinBox* spnNumAxes_ = nullptr;
    QLabel* lblNumAxes_ = nullptr;
    QLabel* lblNumAxesCaption_ = nullptr;
};

}  // namespace pelsid
