#include "fieldviews/ScatterPlotRenderer.h"

#include <algorithm>

#include "fieldviews/HeaderAxes.h"
#include "fieldviews/ShadowLabels.h"
#include "raster/Color.h"
#include "raster/GlyphFont.h"
#include "views/Thumbnails.h"

namespace pelsid {

namespace {
constexpr std::uint32_t kGreen = rgb(0, 255, 0);
}  // namespace

ScatterPlotRenderer::ScatterPlotRenderer(Thumbnails& thumbnails, AxisStore& axes)
    : FieldViewRenderer(thumbnails, axes),
      settings_({chosenAxis(axes.scatter(1)), chosenAxis(axes.scatter(2))}) {
    picGraph_.resize(kPictureWidth, kPictureHeight);
}

ScatterPlotRenderer::~ScatterPlotRenderer() {
    axes_.setScatter(1, settings().vertical);
    axes_.setScatter(2, settings().horizontal);
}

std::vector<SettingControl> ScatterPlotRenderer::settingControls() {
    std::vector<SettingControl> controls;
    for (int k : {1, 2})
        controls.push_back(axisControl(
            k, [this, k] { return k == 1 ? settings().vertical : settings().horizontal; },
            [this, k](int index) { setAxis(k, index); }));
    return controls;
}

std::string ScatterPlotRenderer::pointLabel(std::string_view labelY, std::string_view labelX) {
    std::string text;
    text.reserve(labelX.size() + 1 + labelY.size());
    text.append(labelX).append(1, ',').append(labelY);
    return text;
}

std::optional<ScatterPlotRenderer::Drawing> ScatterPlotRenderer::drawingOf(
    const PlayedPacket& packet) const {
    const int a = settings_.run().vertical, b = settings_.run().horizontal;
    const AxisSample sy =
        placedSample(packet, a, ProtocolLabel::Number, AxisDirection::Vertical, picGraph_.height());
    const AxisSample sx = placedSample(packet, b, ProtocolLabel::Number, AxisDirection::Horizontal,
                                       picGraph_.width());
    const bool aValid = hasAxisValue(packet, a), bValid = hasAxisValue(packet, b);
    const std::uint32_t color = packet.color;
    if (aValid && bValid)
        return Drawing{color, sy.position, sx.position, pointLabel(sy.label, sx.label)};
    if (aValid) return Drawing{color, sy.position, 0, pointLabel(sy.label, {})};
    if (bValid) return Drawing{color, 0, sx.position, pointLabel({}, sx.label)};
    return std::nullopt;
}

void ScatterPlotRenderer::draw(OwnedDrawing<Drawing>&& owned) {
    picGraph_.setOwner(owned.owner);
    Drawing& d = owned.drawing;
    if (repeated_.repeats(picGraph_, d)) return;
    picGraph_.setPixel(d.x, d.y, d.color);
    drawShadowedLabels(picGraph_, {{d.x, d.y, d.label}}, GlyphFont::label());
    repeated_.drawn(picGraph_, std::move(d));
}

void ScatterPlotRenderer::beginRun() {
    settings_.beginRun();
}

void ScatterPlotRenderer::plot(const PlayedPacket& packet) {
    beginRun();
    if (std::optional<Drawing> d = drawingOf(packet))
        draw({std::move(*d), std::uint32_t(packet.number)});
}

void ScatterPlotRenderer::plotRun(std::span<const PlayedPacket> run) {
    runDrawings_.clear();
    for (const PlayedPacket& p : run)
        if (std::optional<Drawing> d = drawingOf(p))
            runDrawings_.push_back({std::move(*d), std::uint32_t(p.number)});
    keepLastOfEach(runDrawings_, [](const OwnedDrawing<Drawing>& o) {
        const Drawing& d = o.drawing;
        return mixHash(mixHash(mixHash(d.color, std::size_t(d.y)), std::size_t(d.x)), d.label);
    });
    for (OwnedDrawing<Drawing>& d : runDrawings_) draw(std::move(d));
}

std::pair<int, int> ScatterPlotRenderer::thumbnailDot(const PlayedPacket& packet) const {
    const Surface& thumb = thumbnails_.vis(5);
    const int network = sourceAxisValue(*packet.fields);
    const int y = toPixel(scaleRange(1, network, 65536, thumb.height()));
    const int x = toPixel(scaleRange(2, packet.length, 1518, thumb.width()));
    return {x, y};
}

void ScatterPlotRenderer::plotThumbnail(const PlayedPacket& packet) {
    const auto [x, y] = thumbnailDot(packet);
    thumbnails_.vis(5).setPixel(x, y, kGreen);
}

void ScatterPlotRenderer::plotThumbnailRun(std::span<const PlayedPacket> run) {
    Surface& thumb = thumbnails_.vis(5);
    for (const auto& [x, y] :
         lastOfEachMark(run, [this](const PlayedPacket& p) { return thumbnailDot(p); }))
        thumb.setPixel(x, y, kGreen);
}

void ScatterPlotRenderer::clear() {
    picGraph_.clear();
    thumbnails_.vis(5).clear();
}

}  // namespace pelsid
