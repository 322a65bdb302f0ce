#include "fieldviews/ParallelPlotWindow.h"

#include <QComboBox>
#include <QLabel>
#include <QResizeEvent>
#include <QSpinBox>
#include <algorithm>

#include "fieldviews/AxisChooser.h"
#include "fieldviews/AxisStore.h"
#include "fieldviews/HeaderAxes.h"
#include "pipeline/GuiThread.h"
#include "views/Color.h"
#include "views/SpinButton.h"
#include "views/SurfaceWidget.h"
#include "views/Thumbnails.h"
#include "views/ViewGeometry.h"

namespace pelsid {

namespace {
constexpr std::uint32_t kAxisGrey = rgb(64, 64, 64);
constexpr std::uint32_t kGreen = rgb(0, 255, 0);
}  // namespace

ParallelPlotWindow::ParallelPlotWindow(ViewContext& context, AxisStore& axes, QWidget* parent)
    : FieldViewWindow(context, axes, QStringLiteral("frmVis3"),
                      QStringLiteral("pelsid: Parallel Coordinate Plot"), parent) {
    for (int k = 1; k <= kMaxAxes; ++k) {
        QComboBox* c = addAxisChooser(k, axes_.parallel(k),
                                      [this, k](int index) { settings_.axis[k - 1] = index; });
        comboAxis_[k - 1] = c;
        settings_.axis[k - 1] = c->currentIndex();
    }

    spnNumAxes_ = new SpinButton(this);
    spnNumAxes_->setObjectName(QStringLiteral("spnNumAxes"));
    spnNumAxes_->setRange(2, kMaxAxes);
    spnNumAxes_->setValue(2);
    spnNumAxes_->resize(spnNumAxes_->sizeHint());
    lblNumAxes_ = new QLabel(QStringLiteral("2"), this);
    lblNumAxes_->setObjectName(QStringLiteral("lblNumAxes"));
    lblNumAxesCaption_ = new QLabel(QStringLiteral("Number of Axes"), this);
    lblNumAxesCaption_->setObjectName(QStringLiteral("lblNumAxesCaption"));
    lblNumAxesCaption_->adjustSize();
    connect(spnNumAxes_, &QSpinBox::valueChanged, this, [this](int value) {
        lblNumAxes_->setText(QString::number(value));
        layoutWindow();
    });

    // A picture of 600 x 400 pixels with 1300 twips of controls below.
    resize(600, 400 + twipsToPixels(1300));
    layoutWindow();
}

ParallelPlotWindow::~ParallelPlotWindow() {
    for (int k = 1; k <= numAxes(); ++k) axes_.setParallel(k, settings_.axis[k - 1]);
}

void ParallelPlotWindow::layoutWindow() {
    PELSID_ASSERT_GUI_THREAD();
    layingOut();
    const int w = width(), h = std::max(1, height() - twipsToPixels(1300));
    picGraph_.resize(w, h);
    picGraphWidget_->setGeometry(0, 0, w, h);
    for (QComboBox* c : comboAxis_) c->hide();
    layoutAxes();

    const QComboBox* first = comboAxis(1);
    const int top = first->geometry().bottom() + 1 + twipsToPixels(150);
    lblNumAxesCaption_->move(4, top + (spnNumAxes_->height() - lblNumAxesCaption_->height()) / 2);
    lblNumAxes_->setGeometry(lblNumAxesCaption_->geometry().right() + 8, top, 24,
                             spnNumAxes_->height());
    spnNumAxes_->move(lblNumAxes_->geometry().right() + 1, top);
}

void ParallelPlotWindow::layoutAxes() {
    settings_.numAxes = spnNumAxes_->value();
    const int numAxes = settings_.numAxes;
    const int w = picGraph_.width();
    axisX_ = axisPositions(numAxes, w);
    // Choosers shrink rather than overlap. The first and last sit half a
    // chooser inward of their axes, so each needs room for one and a half
    // choosers (less the last one's inset) beside its neighbour.
    constexpr int kGap = 4;
    const int step = w / (numAxes - 1);
    const int inset = twipsToPixels(100);
    const int room = numAxes == 2 ? (w - inset - kGap) / 2 : (step - inset - kGap) * 2 / 3;
    const int cw = std::min(twipsToPixels(2250), std::max(16, room));
    const int top = picGraph_.height() + twipsToPixels(50);
    picGraph_.setOwner(0);  // the axes belong to no packet
    for (int k = 1; k <= numAxes; ++k) {
        QComboBox* c = comboAxis(k);
        int left = axisX(k) - cw / 2;
        if (k == 1) left = 0;
        if (k == numAxes) left = w - inset - cw;
        c->setGeometry(left, top, cw, c->height());
        c->show();
        if (k != 1 && k != numAxes)
            picGraph_.line(axisX(k), 0, axisX(k), picGraph_.height(), kAxisGrey);
    }
}

ParallelPlotWindow::Drawing ParallelPlotWindow::drawingOf(const PlayedPacket& packet) const {
    Drawing d;
    d.color = packet.color;
    d.axes = run_.numAxes;
    for (int k = 0; k < run_.numAxes; ++k) {
        const int index = run_.axis[k];
        AxisSample s = placedSample(packet, index, ProtocolLabel::Name, AxisDirection::Vertical,
                                    picGraph_.height());
        d.y[k] = s.position;
        d.valid[k] = hasAxisValue(packet, index);
        d.label[k] = std::move(s.label);
    }
    return d;
}

void ParallelPlotWindow::draw(OwnedDrawing<Drawing>&& owned) {
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

void ParallelPlotWindow::beginRun() {
    PELSID_ASSERT_GUI_THREAD();
    run_ = settings_;
}

void ParallelPlotWindow::Plot(const PlayedPacket& packet) {
    beginRun();
    draw({drawingOf(packet), std::uint32_t(packet.number)});
}

void ParallelPlotWindow::plotRun(std::span<const PlayedPacket> run) {
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

std::pair<int, int> ParallelPlotWindow::thumbnailLine(const PlayedPacket& packet) const {
    const PacketFields& f = *packet.fields;
    const int left = sourceAxisValue(f);
    const int right = f.tcpDstPort != 0 ? f.tcpDstPort : f.udpDstPort;
    const double h = context_.thumbnails.vis(3).height();
    return {toPixel(scaleRange(left, 65536, h)), toPixel(scaleRange(right, 65536, h))};
}

void ParallelPlotWindow::plotThumbnail(const PlayedPacket& packet) {
    Surface& thumb = context_.thumbnails.vis(3);
    const auto [left, right] = thumbnailLine(packet);
    thumb.line(0, left, thumb.width(), right, kGreen);
}

void ParallelPlotWindow::plotThumbnailRun(std::span<const PlayedPacket> run) {
    Surface& thumb = context_.thumbnails.vis(3);
    for (const auto& [left, right] :
         lastOfEachMark(run, [this](const PlayedPacket& p) { return thumbnailLine(p); }))
        thumb.line(0, left, thumb.width(), right, kGreen);
}

void ParallelPlotWindow::clear() {
    picGraph_.clear();
    context_.thumbnails.vis(3).clear();
}

std::vector<ViewWindow::ShotFile> ParallelPlotWindow::screenshotFiles() const {
    return {{&picGraph_, "_parallelcoord.bmp"}};
}

}  // namespace pelsid
