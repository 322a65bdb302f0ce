#include "fieldviews/ScatterPlotWindow.h"

#include <QComboBox>
#include <QFrame>
#include <QResizeEvent>
#include <algorithm>

#include "fieldviews/AxisChooser.h"
#include "fieldviews/AxisStore.h"
#include "fieldviews/HeaderAxes.h"
#include "fieldviews/ShadowLabels.h"
#include "pipeline/GuiThread.h"
#include "views/Color.h"
#include "views/GlyphFont.h"
#include "views/SurfaceWidget.h"
#include "views/Thumbnails.h"
#include "views/ViewGeometry.h"

namespace pelsid {

namespace {

constexpr std::uint32_t kGreen = rgb(0, 255, 0);

QFrame* greyBar(const QString& name, QWidget* parent) {
    auto* bar = new QFrame(parent);
    bar->setObjectName(name);
    QPalette pal = bar->palette();
    pal.setColor(QPalette::Window, QColor(64, 64, 64));
    bar->setPalette(pal);
    bar->setAutoFillBackground(true);
    return bar;
}

}  // namespace

ScatterPlotWindow::ScatterPlotWindow(ViewContext& context, AxisStore& axes, QWidget* parent)
    : FieldViewWindow(context, axes, QStringLiteral("frmVis5"),
                      QStringLiteral("pelsid: Scatter Plot"), parent) {
    // The bars lie under the picture, which overlaps the vertical one.
    shpVertAxis_ = greyBar(QStringLiteral("shpVertAxis"), this);
    shpHorzAxis_ = greyBar(QStringLiteral("shpHorzAxis"), this);
    shpHorzAxis_->lower();
    shpVertAxis_->lower();
    vertical_ =
        addAxisChooser(1, axes_.scatter(1), [this](int index) { settings_.vertical = index; });
    horizontal_ =
        addAxisChooser(2, axes_.scatter(2), [this](int index) { settings_.horizontal = index; });
    settings_ = {vertical_->currentIndex(), horizontal_->currentIndex()};

    // A picture of 600 x 400 pixels.
    resize(600 + twipsToPixels(375 - 8), 400 + twipsToPixels(1200));
    layoutWindow();
}

ScatterPlotWindow::~ScatterPlotWindow() {
    axes_.setScatter(1, settings_.vertical);
    axes_.setScatter(2, settings_.horizontal);
}

void ScatterPlotWindow::layoutWindow() {
    PELSID_ASSERT_GUI_THREAD();
    layingOut();
    const int barWidth = twipsToPixels(375);
    // The picture overlaps the vertical bar a little and ends at the window's
    // right edge, so every point plotted is on screen.
    const int left = twipsToPixels(375 - 8);
    const int top = vertical_->height() + twipsToPixels(30);
    const int w = std::max(1, width() - left), h = std::max(1, height() - twipsToPixels(1200));
    picGraph_.resize(w, h);
    picGraphWidget_->setGeometry(left, top, w, h);
    vertical_->move(twipsToPixels(30), 0);
    vertical_->show();
    horizontal_->move(left + w - horizontal_->width() - twipsToPixels(150),
                      top + h + twipsToPixels(100));
    horizontal_->show();
    shpVertAxis_->setGeometry(0, 0, barWidth, height());
    shpHorzAxis_->setGeometry(0, height() - twipsToPixels(750), width(), barWidth);
    horizontal_->raise();
}

std::string ScatterPlotWindow::pointLabel(std::string_view labelY, std::string_view labelX) {
    std::string text;
    text.reserve(labelX.size() + 1 + labelY.size());
    text.append(labelX).append(1, ',').append(labelY);
    return text;
}

std::optional<ScatterPlotWindow::Drawing> ScatterPlotWindow::drawingOf(
    const PlayedPacket& packet) const {
    const int a = run_.vertical, b = run_.horizontal;
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

void ScatterPlotWindow::draw(OwnedDrawing<Drawing>&& owned) {
    picGraph_.setOwner(owned.owner);
    Drawing& d = owned.drawing;
    if (repeated_.repeats(picGraph_, d)) return;
    picGraph_.setPixel(d.x, d.y, d.color);
    drawShadowedLabels(picGraph_, {{d.x, d.y, d.label}}, GlyphFont::label());
    repeated_.drawn(picGraph_, std::move(d));
}

void ScatterPlotWindow::beginRun() {
    PELSID_ASSERT_GUI_THREAD();
    run_ = settings_;
}

void ScatterPlotWindow::Plot(const PlayedPacket& packet) {
    beginRun();
    if (std::optional<Drawing> d = drawingOf(packet))
        draw({std::move(*d), std::uint32_t(packet.number)});
}

void ScatterPlotWindow::plotRun(std::span<const PlayedPacket> run) {
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

std::pair<int, int> ScatterPlotWindow::thumbnailDot(const PlayedPacket& packet) const {
    const Surface& thumb = context_.thumbnails.vis(5);
    const int network = sourceAxisValue(*packet.fields);
    const int y = toPixel(scaleRange(1, network, 65536, thumb.height()));
    const int x = toPixel(scaleRange(2, packet.length, 1518, thumb.width()));
    return {x, y};
}

void ScatterPlotWindow::plotThumbnail(const PlayedPacket& packet) {
    const auto [x, y] = thumbnailDot(packet);
    context_.thumbnails.vis(5).setPixel(x, y, kGreen);
}

void ScatterPlotWindow::plotThumbnailRun(std::span<const PlayedPacket> run) {
    Surface& thumb = context_.thumbnails.vis(5);
    for (const auto& [x, y] :
         lastOfEachMark(run, [this](const PlayedPacket& p) { return thumbnailDot(p); }))
        thumb.setPixel(x, y, kGreen);
}

void ScatterPlotWindow::clear() {
    picGraph_.clear();
    context_.thumbnails.vis(5).clear();
}

std::vector<ViewWindow::ShotFile> ScatterPlotWindow::screenshotFiles() const {
    return {{&picGraph_, "_scatterplot.bmp"}};
}

}  // namespace pelsid
