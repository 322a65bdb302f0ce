#include "views/ScrollingViewWindow.h"

#include <QRadioButton>

#include "widgets/SurfaceWidget.h"

namespace pelsid {

ScrollingViewWindow::ScrollingViewWindow(ViewContext& context, ScrollingRenderer& renderer,
                                         bool ownsRenderer, const QString& objectName,
                                         const QString& caption, QWidget* parent)
    : ViewWindow(context, renderer, ownsRenderer, objectName, caption, parent),
      scrolling_(renderer),
      picWidget_(new SurfaceWidget(renderer.picGraph(), QStringLiteral("picGraph"), this)) {
    const std::optional<ScrollMode> mode = renderer.scrollMode();
    for (int i = 0; i < 2; ++i) {
        radScroll_[i] = new QRadioButton(this);
        radScroll_[i]->setObjectName(QStringLiteral("radScroll(%1)").arg(i));
        radScroll_[i]->setChecked(mode && int(*mode) == i);
    }
    for (QRadioButton* r : radScroll_) {
        // The mode is taken before a click re-initialises the picture.
        connect(r, &QRadioButton::toggled, this, [this] {
            if (radScroll_[0]->isChecked())
                scrolling_.setScrollMode(ScrollMode::Static);
            else if (radScroll_[1]->isChecked())
                scrolling_.setScrollMode(ScrollMode::Dynamic);
            else
                scrolling_.setScrollMode(std::nullopt);
        });
        connect(r, &QRadioButton::clicked, this, [this] { scrolling_.reinitialise(); });
    }
    picWidget_->resize(renderer.picGraph().width(), renderer.picGraph().height());
    linkPicture(picWidget_);
}

void ScrollingViewWindow::setPictureSize(int width, int height) {
    scrolling_.setPictureSize(width, height);
    picWidget_->resize(scrolling_.picGraph().width(), scrolling_.picGraph().height());
}

}  // namespace pelsid
