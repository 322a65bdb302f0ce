#pragma once
#include "views/TextRainfallRenderer.h"
#include "views/ViewWindow.h"

class QComboBox;
class QLabel;
class QPushButton;
class QSpinBox;

namespace pelsid {

class SurfaceWidget;

/// frmVis1: shows a TextRainfallRenderer and edits its settings; the
/// picture takes the window's size less the strip of controls.
class TextRainfallWindow : public ViewWindow {
    Q_OBJECT
  public:
    /// A window with a renderer of its own.
    explicit TextRainfallWindow(ViewContext& context, QWidget* parent = nullptr);
    TextRainfallWindow(ViewContext& context, TextRainfallRenderer& renderer,
                       QWidget* parent = nullptr);

    TextRainfallRenderer& renderer() { return view_; }

  protected:
    void resizeEvent(QResizeEvent*) override;

  private:
    TextRainfallWindow(ViewContext& context, TextRainfallRenderer& renderer, bool ownsRenderer,
                       QWidget* parent);
    /// The picture starts afresh; the string controls show in ASCII only.
    void initVis();
    void nextMode();

    TextRainfallRenderer& view_;
    SurfaceWidget* graphWidget_;
    QComboBox* cmbVisMode_;
    QPushButton* tglPrintASCII_;
    QSpinBox* spnLength_;
    QLabel* lblLength_;
    QPushButton* tglEther_;
};

}  // namespace pelsid
