#pragma once
#include "views/BinaryRainfallRenderer.h"
#include "views/ScrollingViewWindow.h"

class QComboBox;
class QLabel;
class QPushButton;
class QWidget;

namespace pelsid {

/// frmVis4: shows a BinaryRainfallRenderer and edits its settings; the
/// picture takes the window's size less the strip of controls.
class BinaryRainfallWindow : public ScrollingViewWindow {
    Q_OBJECT
  public:
    static constexpr int kDefaultWidth = 600;
    static constexpr int kDefaultHeight = 473;  // a 600 x 400 picture and the strip

    /// A window with a renderer of its own.
    explicit BinaryRainfallWindow(ViewContext& context, QWidget* parent = nullptr);
    BinaryRainfallWindow(ViewContext& context, BinaryRainfallRenderer& renderer,
                         QWidget* parent = nullptr);

    BinaryRainfallRenderer& renderer() { return view_; }

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    BinaryRainfallWindow(ViewContext& context, BinaryRainfallRenderer& renderer, bool ownsRenderer,
                         QWidget* parent);
    void nextMode();

    BinaryRainfallRenderer& view_;
    QComboBox* cmbVisMode_;
    QLabel* lblHighlight_;
    QPushButton* tglASCII_;
    QPushButton* tglNOP_;
    QWidget* strip_;
};

}  // namespace pelsid
