#include "views/ScrollingViewWindow.h"

#include <QRadioButton>

#include "pipeline/GuiThread.h"

#include "views/SurfaceWidget.h"
#include "views/Thumbnails.h"

namespace pelsid {

ScrollingViewWindow::ScrollingViewWindow(ViewContext& context, const QString& objectName,
                                         const QString& caption, int thumbnail,
                                         const char* shotSuffix, QWidget* parent)
    : ViewWindow(context, objectName, caption, parent),
      picWidget_(new SurfaceWidget(picGraph_, QStringLiteral("picGraph"), this)),
      thumbnail_(thumbnail),
      shotSuffix_(shotSuffix) {
    picGraph_.enablePicks();
    for (int i = 0; i < 2; ++i) {
        radScroll_[i] = new QRadioButton(this);
        radScroll_[i]->setObjectName(QStringLiteral("radScroll(%1)").arg(i));
        // The mode is taken before a click re-initialises the picture.
        connect(radScroll_[i], &QRadioButton::toggled, this, [this] {
            if (radScroll_[0]->isChecked())
                scroll_ = ScrollMode::Static;
            else if (radScroll_[1]->isChecked())
                scroll_ = ScrollMode::Dynamic;
            else
                scroll_.reset();
        });
        connect(radScroll_[i], &QRadioButton::clicked, this, &ScrollingViewWindow::reinitialise);
    }
    radScroll_[0]->setChecked(true);
    linkPicture(picWidget_);
}

void ScrollingViewWindow::beginRun() {
    PELSID_ASSERT_GUI_THREAD();
    runScroll_ = scroll_;
}

Surface& ScrollingViewWindow::thumbnail() {
    return context_.thumbnails.vis(thumbnail_);
}

void ScrollingViewWindow::Plot(const PlayedPacket& packet) {
    // The settings are read for every packet: whatever is selected now decides.
    beginRun();
    plotOne(packet);
}

void ScrollingViewWindow::plotOne(const PlayedPacket& packet) {
    if (!runScroll_) return;
    const ScrollMode mode = *runScroll_;
    const int row = beginRow(mode, picGraph_, scrollLocation_);
    picGraph_.setOwner(std::uint32_t(packet.number));
    drawRow(picGraph_, row, packet);
    endRow(mode, picGraph_, scrollLocation_);
}

void ScrollingViewWindow::plotThumbnail(const PlayedPacket& packet) {
    Surface& thumb = thumbnail();
    drawThumbnailRow(thumb, thumbnailScrollLocation_, packet);
    advanceRow(thumb, thumbnailScrollLocation_);
}

void ScrollingViewWindow::plotRun(std::span<const PlayedPacket> run) {
    const int h = picGraph_.height();
    const auto shown = runScroll_ == ScrollMode::Static ? rowsThatShow(run, h, scrollLocation_)
                                                        : rowsThatShow(run, h);
    for (const PlayedPacket& p : shown) plotOne(p);
}

void ScrollingViewWindow::plotThumbnailRun(std::span<const PlayedPacket> run) {
    for (const PlayedPacket& p : rowsThatShow(run, thumbnail().height(), thumbnailScrollLocation_))
        plotThumbnail(p);
}

void ScrollingViewWindow::clear() {
    initVis();
    thumbnailScrollLocation_ = 0;
    thumbnail().clear();
}

void ScrollingViewWindow::initVis() {
    scrollLocation_ = 0;
    picGraph_.clear();
}

void ScrollingViewWindow::initVisThumb() {
    context_.thumbnails.setBordered(thumbnail_, false);
}

void ScrollingViewWindow::reinitialise() {
    initVis();
    initVisThumb();
}

void ScrollingViewWindow::setPictureSize(int width, int height) {
    picGraph_.resize(width, height);
    scrollLocation_ = 0;
    picWidget_->resize(picGraph_.width(), picGraph_.height());
}

std::vector<ViewWindow::ShotFile> ScrollingViewWindow::screenshotFiles() const {
    return {{&picGraph_, shotSuffix_}};
}

}  // namespace pelsid
