#include "shell/PendingViewWindow.h"

#include "views/SurfaceWidget.h"
#include "views/Thumbnails.h"

namespace pelsid {

PendingViewWindow::PendingViewWindow(ViewContext& context, const QString& name,
                                     const QString& caption, const char* suffix, int thumbnail)
    : ViewWindow(context, name, caption),
      picGraph_(600, 400),
      suffix_(suffix),
      thumbnail_(thumbnail) {
    auto* w = new SurfaceWidget(picGraph_, QStringLiteral("picGraph"), this);
    w->setGeometry(0, 0, 600, 400);
    resize(600, 473);
}

void PendingViewWindow::clear() {
    picGraph_.clear();
    if (thumbnail_ > 0) context_.thumbnails.vis(thumbnail_).clear();
}

std::vector<ViewWindow::ShotFile> PendingViewWindow::screenshotFiles() const {
    if (!suffix_) return {};
    return {{&picGraph_, suffix_}};
}

}  // namespace pelsid
