#include "fieldviews/CombinedRenderer.h"

#include "fieldviews/AxisMarks.h"
#include "fieldviews/HeaderAxes.h"
#include "raster/Color.h"
#include "views/Thumbnails.h"

namespace pelsid {

namespace {
constexpr std::uint32_t kGreen = rgb(0, 255, 0);
}  // namespace

CombinedRenderer::CombinedRenderer(Thumbnails& thumbnails, AxisStore& axes)
    : FieldViewRenderer(thumbnails, axes),
      settings_({chosenAxis(axes.combined(1)), chosenAxis(axes.combined(2)), 1}) {
    layout(kCentreWidth, kStripWidth, kPictureHeight);
}

CombinedRenderer::~CombinedRenderer() {
    axes_.setCombined(1, settings().left);
    axes_.setCombined(2, settings().right);
}

void CombinedRenderer::setAxis(int k, int axisIndex) {
    (k == 1 ? settings_.edit().left : settings_.edit().right) = axisIndex;
    axes_.setCombined(k, axisIndex);
}

void CombinedRenderer::layout(int centreWidth, int stripWidth, int height) {
    picGraph_.resize(centreWidth, height);
    left_.resize(stripWidth, height);
    right_.resize(stripWidth, height);
}

std::vector<SettingControl> CombinedRenderer::settingControls() {
    std::vector<SettingControl> controls;
    for (int k : {1, 2})
        controls.push_back(axisControl(
            k, [this, k] { return k == 1 ? settings().left : settings().right; },
            [this, k](int index) { setAxis(k, index); }));
    controls.push_back(SettingControl::number(
        QStringLiteral("spnBuckets"), 1, 99, [this] { return settings().quantum; },
        [this](int packets) { setQuantum(packets); }));
    return controls;
}

const Surface* CombinedRenderer::picture(const QString& name) const {
    if (name == QLatin1String("picgraphLeftFront")) return &left_.front();
    if (name == QLatin1String("picgraphRightFront")) return &right_.front();
    return name == QLatin1String("picGraph") ? &picGraph_ : nullptr;
}

std::uint32_t CombinedRenderer::packetAt(const QString& name, QPoint pos) const {
    if (name == QLatin1String("picgraphLeftFront")) return left_.pickAt(pos.x(), pos.y());
    if (name == QLatin1String("picgraphRightFront")) return right_.pickAt(pos.x(), pos.y());
    return FieldViewRenderer::packetAt(name, pos);
}

std::vector<ViewRenderer::ShotFile> CombinedRenderer::screenshotFiles() const {
    return {{&left_.front(), "_combined_left.bmp"},
            {&picGraph_, "_combined_center.bmp"},
            {&right_.front(), "_combined_right.bmp"}};
}

std::optional<CombinedRenderer::Drawing> CombinedRenderer::drawingOf(
    const PlayedPacket& packet) const {
    const int a = settings_.run().left, b = settings_.run().right;
    // Unlike the parallel plot, a packet known on one axis only leaves no mark.
    if (!hasAxisValue(packet, a) || !hasAxisValue(packet, b)) return std::nullopt;
    const int h = picGraph_.height();
    AxisSample l = placedSample(packet, a, ProtocolLabel::Number, AxisDirection::Vertical, h);
    AxisSample r = placedSample(packet, b, ProtocolLabel::Number, AxisDirection::Vertical, h);
    return Drawing{packet.color, l.position, r.position, std::move(l.label), std::move(r.label)};
}

void CombinedRenderer::draw(OwnedDrawing<Drawing>&& owned) {
    picGraph_.setOwner(owned.owner);
    Drawing& d = owned.drawing;
    if (repeated_.repeats(picGraph_, d)) return;
    plotSegment(picGraph_, {0, d.yL, d.labelL}, {picGraph_.width(), d.yR, d.labelR}, true, d.color);
    repeated_.drawn(picGraph_, std::move(d));
}

void CombinedRenderer::beginRun() {
    settings_.beginRun();
}

void CombinedRenderer::plot(const PlayedPacket& packet) {
    beginRun();
    std::optional<Drawing> d = drawingOf(packet);
    if (!d) return;
    const auto owner = std::uint32_t(packet.number);
    plotHistory(d->yL, d->yR, d->color, owner);
    draw({std::move(*d), owner});
}

void CombinedRenderer::plotRun(std::span<const PlayedPacket> run) {
    // The strips take every packet; the centre only the last of each segment.
    runDrawings_.clear();
    for (const PlayedPacket& p : run)
        if (std::optional<Drawing> d = drawingOf(p)) {
            const auto owner = std::uint32_t(p.number);
            plotHistory(d->yL, d->yR, d->color, owner);
            runDrawings_.push_back({std::move(*d), owner});
        }
    keepLastOfEach(runDrawings_, [](const OwnedDrawing<Drawing>& o) {
        const Drawing& d = o.drawing;
        return mixHash(
            mixHash(mixHash(mixHash(d.color, std::size_t(d.yL)), std::size_t(d.yR)), d.labelL),
            d.labelR);
    });
    for (OwnedDrawing<Drawing>& d : runDrawings_) draw(std::move(d));
}

void CombinedRenderer::plotHistory(int yL, int yR, std::uint32_t color, std::uint32_t owner) {
    ++quantumCount_;
    left_.mark(yL, color, owner);
    right_.mark(yR, color, owner);
    if (quantumCount_ < settings_.run().quantum) return;
    left_.completeQuantum();
    right_.completeQuantum();
    quantumCount_ = 0;
}

void CombinedRenderer::plotThumbnail(const PlayedPacket& packet) {
    Surface& thumb = thumbnails_.vis(6);
    const Surface& back = thumbnails_.picVis6Back;
    const int network = sourceAxisValue(*packet.fields);
    const int y = toPixel(scaleRange(network, 65536, double(thumb.height())));
    // The picture moves right by two columns through the (always blank) work
    // surface and gets a dot in the second column. Deferred: many packets
    // between two looks at the thumbnail make one scroll.
    thumb.deferScrollRight(2, back.backColor());
    thumb.deferPixel(1, y, kGreen);
}

void CombinedRenderer::clear() {
    picGraph_.clear();
    left_.clear();
    right_.clear();
    thumbnails_.vis(6).clear();
    thumbnails_.picVis6Back.clear();
}

}  // namespace pelsid
