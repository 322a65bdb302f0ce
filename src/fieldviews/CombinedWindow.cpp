#include "fieldviews/CombinedWindow.h"

#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QResizeEvent>
#include <QSpinBox>
#include <algorithm>
#include <cmath>

#include "fieldviews/AxisChooser.h"
#include "fieldviews/AxisMarks.h"
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

constexpr std::uint32_t kGreen = rgb(0, 255, 0);

QFrame* axisLine(const QString& name, QWidget* parent) {
    auto* line = new QFrame(parent);
    line->setObjectName(name);
    QPalette pal = line->palette();
    pal.setColor(QPalette::Window, QColor(128, 128, 128));
    line->setPalette(pal);
    line->setAutoFillBackground(true);
    return line;
}

}  // namespace

CombinedWindow::CombinedWindow(ViewContext& context, AxisStore& axes, QWidget* parent)
    : FieldViewWindow(context, axes, QStringLiteral("frmVis6"),
                      QStringLiteral("pelsid: Combined Visualization"), parent) {
    leftWidget_ = new SurfaceWidget(left_.front(), QStringLiteral("picgraphLeftFront"), this);
    rightWidget_ = new SurfaceWidget(right_.front(), QStringLiteral("picgraphRightFront"), this);
    lineLeftAxis_ = axisLine(QStringLiteral("lineLeftAxis"), leftWidget_);
    linerightAxis_ = axisLine(QStringLiteral("linerightAxis"), rightWidget_);
    linkPicture(leftWidget_);
    linkPicture(rightWidget_);
    // Qt's counterpart of scrolling a chooser's list is moving its selection
    // (wheel, keys or the list): store the choice at once.
    comboLeft_ = addAxisChooser(1, axes_.combined(1), [this](int index) {
        settings_.left = index;
        axes_.setCombined(1, index);
    });
    comboRight_ = addAxisChooser(2, axes_.combined(2), [this](int index) {
        settings_.right = index;
        axes_.setCombined(2, index);
    });
    settings_.left = comboLeft_->currentIndex();
    settings_.right = comboRight_->currentIndex();

    lblBucketsCaption_ = new QLabel(QStringLiteral("packets per quantum"), this);
    lblBucketsCaption_->setObjectName(QStringLiteral("lblBucketsCaption"));
    lblBucketsCaption_->adjustSize();
    lblBuckets_ = new QLabel(QStringLiteral("1"), this);
    lblBuckets_->setObjectName(QStringLiteral("lblBuckets"));
    lblBuckets_->setAlignment(Qt::AlignCenter);
    spnBuckets_ = new SpinButton(this);
    spnBuckets_->setObjectName(QStringLiteral("spnBuckets"));
    spnBuckets_->setRange(1, 99);
    spnBuckets_->setValue(1);
    spnBuckets_->resize(spnBuckets_->sizeHint());
    lblBuckets_->resize(24, spnBuckets_->height());
    connect(spnBuckets_, &QSpinBox::valueChanged, this, [this](int value) {
        settings_.quantum = value;
        lblBuckets_->setText(QString::number(value));
    });

    // A 200 x 400 centre picture between two strips of 399 x 400.
    resize(1000, 400 + twipsToPixels(1400));
    layoutWindow();
    startTimer(33);
}

CombinedWindow::~CombinedWindow() {
    axes_.setCombined(1, settings_.left);
    axes_.setCombined(2, settings_.right);
}

void CombinedWindow::timerEvent(QTimerEvent*) {
    // The strips are composed for the screen only while someone can see them.
    if (!isVisible()) return;
    left_.front();
    right_.front();
}

std::uint32_t CombinedWindow::packetAt(SurfaceWidget& picture, QPoint pos) {
    // The strips answer from their dots, whether composed for the screen yet or not.
    if (&picture == leftWidget_) return left_.pickAt(pos.x(), pos.y());
    if (&picture == rightWidget_) return right_.pickAt(pos.x(), pos.y());
    return FieldViewWindow::packetAt(picture, pos);
}

void CombinedWindow::layoutWindow() {
    PELSID_ASSERT_GUI_THREAD();
    layingOut();
    const int h = std::max(1, height() - twipsToPixels(1400));
    const int w = std::max(1, int(std::nearbyint(0.2 * width())));
    const int left = int(std::nearbyint(width() / 2.0 - w / 2.0));
    const int stripWidth = std::max(1, left - 1);  // less the axis line's border
    picGraph_.resize(w, h);
    left_.resize(stripWidth, h);
    right_.resize(stripWidth, h);
    picGraphWidget_->setGeometry(left, 0, w, h);
    leftWidget_->setGeometry(0, 0, stripWidth, h);
    rightWidget_->setGeometry(left + w, 0, stripWidth, h);
    lineLeftAxis_->setGeometry(stripWidth - 1, 0, 1, h);
    linerightAxis_->setGeometry(0, 0, 1, h);

    const int top = h + twipsToPixels(50);
    comboLeft_->move(left - comboLeft_->width() / 2, top);
    comboRight_->move(left + w - comboRight_->width() / 2, top);
    comboLeft_->show();
    comboRight_->show();

    const int rowTop = top + comboLeft_->height() + twipsToPixels(150);
    const int group = lblBucketsCaption_->width() + lblBuckets_->width() + spnBuckets_->width();
    const int x = width() / 2 - group / 2;
    lblBucketsCaption_->move(
        x, h + comboLeft_->height() + lblBuckets_->height() / 2 + lblBucketsCaption_->height() / 3);
    lblBuckets_->move(x + lblBucketsCaption_->width(), rowTop);
    spnBuckets_->move(lblBuckets_->geometry().right() + 1, rowTop);
}

std::optional<CombinedWindow::Drawing> CombinedWindow::drawingOf(const PlayedPacket& packet) const {
    const int a = run_.left, b = run_.right;
    // Unlike the parallel plot, a packet known on one axis only leaves no mark.
    if (!hasAxisValue(packet, a) || !hasAxisValue(packet, b)) return std::nullopt;
    const int h = picGraph_.height();
    AxisSample l = placedSample(packet, a, ProtocolLabel::Number, AxisDirection::Vertical, h);
    AxisSample r = placedSample(packet, b, ProtocolLabel::Number, AxisDirection::Vertical, h);
    return Drawing{packet.color, l.position, r.position, std::move(l.label), std::move(r.label)};
}

void CombinedWindow::draw(OwnedDrawing<Drawing>&& owned) {
    picGraph_.setOwner(owned.owner);
    Drawing& d = owned.drawing;
    if (repeated_.repeats(picGraph_, d)) return;
    plotSegment(picGraph_, {0, d.yL, d.labelL}, {picGraph_.width(), d.yR, d.labelR}, true, d.color);
    repeated_.drawn(picGraph_, std::move(d));
}

void CombinedWindow::beginRun() {
    PELSID_ASSERT_GUI_THREAD();
    run_ = settings_;
}

void CombinedWindow::Plot(const PlayedPacket& packet) {
    beginRun();
    std::optional<Drawing> d = drawingOf(packet);
    if (!d) return;
    const auto owner = std::uint32_t(packet.number);
    plotHistory(d->yL, d->yR, d->color, owner);
    draw({std::move(*d), owner});
}

void CombinedWindow::plotRun(std::span<const PlayedPacket> run) {
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

void CombinedWindow::plotHistory(int yL, int yR, std::uint32_t color, std::uint32_t owner) {
    ++quantumCount_;
    left_.mark(yL, color, owner);
    right_.mark(yR, color, owner);
    if (quantumCount_ < run_.quantum) return;
    left_.completeQuantum();
    right_.completeQuantum();
    quantumCount_ = 0;
}

void CombinedWindow::plotThumbnail(const PlayedPacket& packet) {
    Surface& thumb = context_.thumbnails.vis(6);
    const Surface& back = context_.thumbnails.picVis6Back;
    const int network = sourceAxisValue(*packet.fields);
    const int y = toPixel(scaleRange(network, 65536, double(thumb.height())));
    // The picture moves right by two columns through the (always blank) work
    // surface and gets a dot in the second column. Deferred: many packets
    // between two looks at the thumbnail make one scroll.
    thumb.deferScrollRight(2, back.backColor());
    thumb.deferPixel(1, y, kGreen);
}

void CombinedWindow::clear() {
    picGraph_.clear();
    left_.clear();
    right_.clear();
    context_.thumbnails.vis(6).clear();
    context_.thumbnails.picVis6Back.clear();
}

std::vector<ViewWindow::ShotFile> CombinedWindow::screenshotFiles() const {
    return {{&left_.front(), "_combined_left.bmp"},
            {&picGraph_, "_combined_center.bmp"},
            {&right_.front(), "_combined_right.bmp"}};
}

}  // namespace pelsid
