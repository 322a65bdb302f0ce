#pragma once
#include "fieldviews/CombinedRenderer.h"
#include "fieldviews/FieldViewWindow.h"

class QComboBox;
class QFrame;
class QLabel;
class QSpinBox;

namespace pelsid {

class SurfaceWidget;

/// frmVis6: shows a CombinedRenderer's centre picture between its two
/// history strips and edits its axes and packets per quantum.
class CombinedWindow : public FieldViewWindow {
    Q_OBJECT
  public:
    /// A window with a renderer of its own.
    CombinedWindow(ViewContext& context, AxisStore& axes, QWidget* parent = nullptr);
    CombinedWindow(ViewContext& context, CombinedRenderer& renderer, QWidget* parent = nullptr);

    CombinedRenderer& renderer() { return view_; }
    /// Places pictures and controls for the window's size; erases the view.
    void layoutWindow() override;

    /// 1 = left axis, 2 = right axis.
    QComboBox* comboAxis(int k) const { return k == 1 ? comboLeft_ : comboRight_; }
    QSpinBox* spnBuckets() const { return spnBuckets_; }

  protected:
    void timerEvent(QTimerEvent* event) override;

  private:
    CombinedWindow(ViewContext& context, CombinedRenderer& renderer, bool ownsRenderer,
                   QWidget* parent);
    /// Places pictures and controls; with `redraw` the pictures start afresh.
    void place(bool redraw);

    CombinedRenderer& view_;
    SurfaceWidget* leftWidget_ = nullptr;
    SurfaceWidget* rightWidget_ = nullptr;
    QFrame* lineLeftAxis_ = nullptr;
    QFrame* linerightAxis_ = nullptr;
    QComboBox* comboLeft_ = nullptr;
    QComboBox* comboRight_ = nullptr;
    QSpinBox* spnBuckets_ = nullptr;
    QLabel* lblBuckets_ = nullptr;
    QLabel* lblBucketsCaption_ = nullptr;
};

}  // namespace pelsid
