#include "fieldviews/ParallelPlotRenderer.h"

#include <algorithm>

#include "fieldviews/HeaderAxes.h"
#include "raster/Color.h"
#include "views/Thumbnails.h"

namespace pelsid {

namespace {
constexpr std::uint32_t kAxisGrey = rgb(64, 64, 64);
constexpr std::uint32_t kGreen = rgb(0, 255, 0);
}  // namespace

ParallelPlotRenderer::ParallelPlotRenderer(Thumbnails& thumbnails, AxisStore& axes)
    : FieldViewRenderer(thumbnails, axes) {
    Settings& s = settings_.edit();
    for (int k = 1; k <= kMaxAxes; ++k) s.axis[k - 1] = chosenAxis(axes_.parallel(k));
    settings_.beginRun();
    layout(kPictureWidth, kPictureHeight);
}

ParallelPlotRenderer::~ParallelPlotRenderer() {
    for (int k = 1; k <= numAxes(); ++k) axes_.setParallel(k, settings().axis[k - 1]);
}

void ParallelPlotRenderer::setNumAxes(int numAxes) {
    settings_.edit().numAxes = numAxes;
    layout(picGraph_.width(), picGraph_.height());
}

void ParallelPlotRenderer::layout(int width, int height) {
    picGraph_.resize(width, height);
    const int numAxes = settings().numAxes;
    axisX_ = axisPositions(numAxes, picGraph_.width());
    picGraph_.setOwner(0);  // the axes belong to no packet
    for (int k = 2; k < numAxes; ++k)
        picGraph_.line(axisX(k), 0, axisX(k), picGraph_.height(), kAxisGrey);
}

std::vector<SettingControl> ParallelPlotRenderer::settingControls() {
    std::vector<SettingControl> controls;
    for (int k = 1; k <= kMaxAxes; ++k)
        controls.push_back(axisControl(
            k, [this, k] { return settings().axis[k - 1]; },
            [this, k](int index) { setAxis(k, index); }));
    controls.push_back(SettingControl::number(
        QStringLiteral("spnNumAxes"), 2, kMaxAxes, [this] { return numAxes(); },
        [this](int n) { setNumAxes(n); }));
    return controls;
}

ParallelPlotRenderer::Drawing ParallelPlotRenderer::drawingOf(const PlayedPacket& packet) const {
    Drawing d;
    d.color = packet.color;
    d.axes = settings_.run().numAxes;
    for (int k = 0; k < settings_.run().numAxes; ++k) {
        const int index = settings_.run().axis[k];
        AxisSample s = placedSample(packet, index, ProtocolLabel::Name, AxisDirection::Vertical,
                                    picGraph_.height());
        d.y[k] = s.position;
        d.valid[k] = hasAxisValue(packet, index);
        d.label[k] = std::move(s.label);
    }
    return d;
}

void ParallelPlotRenderer::draw(OwnedDrawing<Drawing>&& owned) {
    picGraph_.setOwner(owned.owner);
    Drawing& d = owned.drawing;
    if (repeated_.repeats(picGraph_, d)) return;
    auto mark = [&](int k) { return AxisMark{axisX_[k], d.y[k], d.label[k]}; };
    for (int k = 0; k + 1 < d.axes; ++k) {
        const bool a = d.valid[k], b = d.valid[k + 1];
        if (a && b)
            plotSegment(picGraph_, mark(k), mark(k + 1), k + 2 == d.axes, d.color);
        else if (a)
            plotPoint(picGraph_, mark(k), false, d.color);
        else if (b)
            plotPoint(picGraph_, mark(k + 1), k + 2 == d.axes, d.color);
    }
    repeated_.drawn(picGraph_, std::move(d));
}

void ParallelPlotRenderer::beginRun() {
    settings_.beginRun();
}

void ParallelPlotRenderer::plot(const PlayedPacket& packet) {
    beginRun();
    draw({drawingOf(packet), std::uint32_t(packet.number)});
}

void ParallelPlotRenderer::plotRun(std::span<const PlayedPacket> run) {
    runDrawings_.clear();
    for (const PlayedPacket& p : run)
        runDrawings_.push_back({drawingOf(p), std::uint32_t(p.number)});
    keepLastOfEach(runDrawings_, [](const OwnedDrawing<Drawing>& o) {
        const Drawing& d = o.drawing;
        std::size_t h = mixHash(d.color, std::size_t(d.axes));
        for (int k = 0; k < d.axes; ++k)
            h = mixHash(mixHash(h, std::size_t(d.y[k]) * 2 + d.valid[k]), d.label[k]);
        return h;
    });
    for (OwnedDrawing<Drawing>& d : runDrawings_) draw(std::move(d));
}

std::pair<int, int> ParallelPlotRenderer::thumbnailLine(const PlayedPacket& packet) const {
    const PacketFields& f = *packet.fields;
    const int left = sourceAxisValue(f);
    const int right = f.tcpDstPort != 0 ? f.tcpDstPort : f.udpDstPort;
    const double h = thumbnails_.vis(3).height();
    return {toPixel(scaleRange(left, 65536, h)), toPixel(scaleRange(right, 65536, h))};
}

void ParallelPlotRenderer::plotThumbnail(const PlayedPacket& packet) {
    Surface& thumb = thumbnails_.vis(3);
    const auto [left, right] = thumbnailLine(packet);
    thumb.line(0, left, thumb.width(), right, kGreen);
}

void ParallelPlotRenderer::plotThumbnailRun(std::span<const PlayedPacket> run) {
    Surface& thumb = thumbnails_.vis(3);
    for (const auto& [left, right] :
         lastOfEachMark(run, [this](const PlayedPacket& p) { return thumbnailLine(p); }))
        thumb.line(0, left, thumb.width(), right, kGreen);
}

void ParallelPlotRenderer::clear() {
    picGraph_.clear();
    thumbnails_.vis(3).clear();
}

}  // namespace pelsid
