#pragma once
#include <array>

#include "views/ScrollingRenderer.h"
#include "views/ViewWindow.h"

class QRadioButton;

namespace pelsid {

class SurfaceWidget;

/// What the windows of the binary rainfall and the byte frequency view
/// share: the picture picGraph and the scroll mode buttons radScroll(0)
/// and radScroll(1), which set the renderer's scroll mode.
class ScrollingViewWindow : public ViewWindow {
    Q_OBJECT
  public:
    static constexpr const char* kStaticScroll = "Static Scroll";
    static constexpr const char* kDynamicScroll = "Dynamic Scroll";

    ScrollingViewWindow(ViewContext& context, ScrollingRenderer& renderer, bool ownsRenderer,
                        const QString& objectName, const QString& caption,
                        QWidget* parent = nullptr);

  protected:
    /// New picture size: the picture is cleared, drawing starts at the top.
    void setPictureSize(int width, int height);
    SurfaceWidget* pictureWidget() const { return picWidget_; }
    QRadioButton* radScroll(int index) const { return radScroll_[index]; }

  private:
    ScrollingRenderer& scrolling_;
    SurfaceWidget* picWidget_;
    std::array<QRadioButton*, 2> radScroll_{};
};

}  // namespace pelsid
