#pragma once
#include "views/ByteFrequencyRenderer.h"
#include "views/ScrollingViewWindow.h"

class QComboBox;
class QLabel;
class QScrollBar;

namespace pelsid {

/// frmVis2: shows a ByteFrequencyRenderer and edits its settings. The
/// picture keeps its size; the window grows by the threshold strip in the
/// share colouring.
class ByteFrequencyWindow : public ScrollingViewWindow {
    Q_OBJECT
  public:
    static constexpr int kThresholdStripHeight = 70;  // 1045 twips

    /// A window with a renderer of its own.
    explicit ByteFrequencyWindow(ViewContext& context, QWidget* parent = nullptr);
    ByteFrequencyWindow(ViewContext& context, ByteFrequencyRenderer& renderer,
                        QWidget* parent = nullptr);

    ByteFrequencyRenderer& renderer() { return view_; }
    /// The window's height without the threshold strip.
    int originalHeight() const { return originalHeight_; }

  private:
    ByteFrequencyWindow(ViewContext& context, ByteFrequencyRenderer& renderer, bool ownsRenderer,
                        QWidget* parent);
    void applyMode();
    void showThreshold();

    ByteFrequencyRenderer& view_;
    QComboBox* cmbVisMode_;
    QLabel* lblStaticScroll_;
    QLabel* lblDynamicScroll_;
    QScrollBar* scrThreshold_;
    QLabel* lblFrequencyThreshold_;
    QLabel* lblThresholdMin_;
    QLabel* lblThresholdMax_;
    QLabel* lblThreshold_;
    int originalHeight_ = 0;
};

}  // namespace pelsid
