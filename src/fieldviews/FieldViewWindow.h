#pragma once
#include <QSize>
#include <functional>

#include "views/Surface.h"
#include "views/ViewWindow.h"

class QComboBox;

namespace pelsid {

class AxisStore;
class SurfaceWidget;

/// What the three header-field views share: the axis store that remembers
/// their choices from one window to the next, the picture picGraph, axis
/// choosers made from one hidden template, the least size, and laying the
/// window out again whenever its size changes.
class FieldViewWindow : public ViewWindow {
    Q_OBJECT
  public:
    Surface& picGraph() { return picGraph_; }
    /// Places the picture and controls for the window's size; clears the plot.
    virtual void layoutWindow() = 0;

  protected:
    FieldViewWindow(ViewContext& context, AxisStore& axes, const QString& objectName,
                    const QString& caption, QWidget* parent);

    /// Chooser "comboAxis(k)" with `axisIndex` selected; `chosen` is told
    /// every choice made afterwards.
    QComboBox* addAxisChooser(int k, int axisIndex, std::function<void(int)> chosen);
    /// Called first by layoutWindow: the size it lays out for.
    void layingOut() { laidOut_ = size(); }
    void resizeEvent(QResizeEvent* event) override;

    AxisStore& axes_;
    Surface picGraph_;
    SurfaceWidget* picGraphWidget_;

  private:
    QComboBox* chooserTemplate_ = nullptr;
    QSize laidOut_;
};

}  // namespace pelsid
