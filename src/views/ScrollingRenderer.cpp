#include "views/ScrollingRenderer.h"

#include "views/Thumbnails.h"

namespace pelsid {

ScrollingRenderer::ScrollingRenderer(Thumbnails& thumbnails, int thumbnail, const char* shotSuffix)
    : ViewRenderer(thumbnails), thumbnail_(thumbnail), shotSuffix_(shotSuffix) {
    picGraph_.enablePicks();
}

void ScrollingRenderer::beginRun() {
    scroll_.beginRun();
}

std::vector<SettingControl> ScrollingRenderer::settingControls() {
    std::vector<SettingControl> controls;
    for (ScrollMode mode : {ScrollMode::Static, ScrollMode::Dynamic}) {
        // A click selects the mode and starts the picture afresh, selected before or not.
        controls.push_back(SettingControl::option(QStringLiteral("radScroll(%1)").arg(int(mode)),
                                                  [this, mode](int) {
                                                      setScrollMode(mode);
                                                      reinitialise();
                                                  }));
    }
    return controls;
}

Surface& ScrollingRenderer::thumbnail() {
    return thumbnails_.vis(thumbnail_);
}

void ScrollingRenderer::plot(const PlayedPacket& packet) {
    // The settings are read for every packet: whatever is selected now decides.
    beginRun();
    plotOne(packet);
}

void ScrollingRenderer::plotOne(const PlayedPacket& packet) {
    if (!scroll_.run()) return;
    const ScrollMode mode = *scroll_.run();
    const int row = beginRow(mode, picGraph_, scrollLocation_);
    picGraph_.setOwner(std::uint32_t(packet.number));
    drawRow(picGraph_, row, packet);
    endRow(mode, picGraph_, scrollLocation_);
}

void ScrollingRenderer::plotThumbnail(const PlayedPacket& packet) {
    Surface& thumb = thumbnail();
    drawThumbnailRow(thumb, thumbnailScrollLocation_, packet);
    advanceRow(thumb, thumbnailScrollLocation_);
}

void ScrollingRenderer::plotRun(std::span<const PlayedPacket> run) {
    const int h = picGraph_.height();
    const auto shown = scroll_.run() == ScrollMode::Static ? rowsThatShow(run, h, scrollLocation_)
                                                           : rowsThatShow(run, h);
    for (const PlayedPacket& p : shown) plotOne(p);
}

void ScrollingRenderer::plotThumbnailRun(std::span<const PlayedPacket> run) {
    for (const PlayedPacket& p : rowsThatShow(run, thumbnail().height(), thumbnailScrollLocation_))
        plotThumbnail(p);
}

void ScrollingRenderer::clear() {
    initVis();
    thumbnailScrollLocation_ = 0;
    thumbnail().clear();
}

void ScrollingRenderer::initVis() {
    scrollLocation_ = 0;
    picGraph_.clear();
}

void ScrollingRenderer::initVisThumb() {
    thumbnails_.setBordered(thumbnail_, false);
}

void ScrollingRenderer::reinitialise() {
    initVis();
    initVisThumb();
}

void ScrollingRenderer::setPictureSize(int width, int height) {
    picGraph_.resize(width, height);
    scrollLocation_ = 0;
}

}  // namespace pelsid
