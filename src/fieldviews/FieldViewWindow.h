#pragma once
#include <QSize>
#include <functional>

#include "fieldviews/FieldViewRenderer.h"
#include "views/ViewWindow.h"

class QComboBox;

namespace pelsid {

class SurfaceWidget;

/// What the windows of the three header-field views share: the picture
/// picGraph, axis choosers made from one hidden template, the least size,
/// and laying the window out again whenever its size changes.
class FieldViewWindow : public ViewWindow {
    Q_OBJECT
  public:
    /// Places the picture and controls for the window's size; clears the plot.
    virtual void layoutWindow() = 0;

  protected:
    FieldViewWindow(ViewContext& context, FieldViewRenderer& renderer, bool ownsRenderer,
                    const QString& objectName, const QString& caption, QWidget* parent);

    /// Chooser "comboAxis(k)" with `axisIndex` selected; `chosen` is told
    /// every choice made afterwards.
    QComboBox* addAxisChooser(int k, int axisIndex, std::function<void(int)> chosen);
    /// Called first by layoutWindow: the size it lays out for.
    void layingOut() { laidOut_ = size(); }
    /// The window was made at its size: a later resize to another lays it out again.
    void laidOutAt(QSize size) { laidOut_ = size; }
    void resizeEvent(QResizeEvent* event) override;

    SurfaceWidget* picGraphWidget_;

  private:
    QComboBox* chooserTemplate_ = nullptr;
    QSize laidOut_;
};

}  // namespace pelsid
