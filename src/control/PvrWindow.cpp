#include "control/PvrWindow.h"

#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QSpinBox>
#include <cmath>

#include "control/BufferRange.h"
#include "control/FactorSpinBox.h"
#include "control/FixedWindowFlags.h"
#include "pipeline/Pipeline.h"
#include "store/PacketBuffer.h"
#include "raster/Color.h"
#include "widgets/SpinButton.h"
#include "widgets/SurfaceWidget.h"
#include "views/ViewGeometry.h"

namespace pelsid {

namespace {

constexpr char kTag[] = "tag";
constexpr char kLocked[] = "locked";
constexpr std::int64_t kWorkBudgetNs = 50'000'000;  // per timer event, so the window stays live
constexpr std::int64_t kMeasuredRefreshNs = 250'000'000;  // how often the measured rate is redrawn
constexpr int kClientWidth = 487;
constexpr int kClientHeight = 175;  // the transport rows (103) and the range strip below them

bool isLocked(const QObject* control) {
    return control->property(kTag).toString() == QLatin1String(kLocked);
}

/// Holds a control's tag at "locked" while the program changes it.
class TagLock {
  public:
    explicit TagLock(QObject* control) : control_(control) {
        control_->setProperty(kTag, QString::fromLatin1(kLocked));
    }
    ~TagLock() { control_->setProperty(kTag, QString()); }
    TagLock(const TagLock&) = delete;
    TagLock& operator=(const TagLock&) = delete;

  private:
    QObject* control_;
};

QFont courier(double points) {
    QFont f(QStringLiteral("Courier New"));
    f.setStyleHint(QFont::TypeWriter);
    f.setPointSizeF(points);
    return f;
}

QFont sansSerif(double points) {
    QFont f(QStringLiteral("MS Sans Serif"));
    f.setStyleHint(QFont::SansSerif);
    f.setPointSizeF(points);
    return f;
}

void colourize(QWidget* w, QColor fore, QColor back) {
    QPalette p = w->palette();
    p.setColor(QPalette::WindowText, fore);
    p.setColor(QPalette::Window, back);
    w->setPalette(p);
    w->setAutoFillBackground(true);
}

/// A green-on-black counter label.
QLabel* counterLabel(QWidget* parent, const char* name, const QString& text, QRect place,
                     double points = 8.25) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(QLatin1String(name));
    l->setFont(courier(points));
    colourize(l, QColor(0, 192, 0), Qt::black);
    l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    l->setWordWrap(true);
    l->setGeometry(place);
    return l;
}

QPushButton* button(QWidget* parent, const char* name, const QString& caption,
                    const QString& toolTip, QRect place, bool checkable = false) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(QLatin1String(name));
    b->setToolTip(toolTip);
    b->setCheckable(checkable);
    b->setFocusPolicy(Qt::TabFocus);
    b->setGeometry(place);
    return b;
}

/// The 17 x 17 raised handle of the range strip.
void drawHandle(Surface& s) {
    const int n = twipsToPixels(BufferRangeGeometry::kHandleWidth);
    s.resize(n, n);
    s.setBackColor(rgb(160, 160, 160));
    s.clear();
    s.hline(0, n, 0, rgb(255, 255, 255));
    s.line(0, 0, 0, n, rgb(255, 255, 255));
    s.hline(0, n, n - 1, rgb(64, 64, 64));
    s.line(n - 1, 0, n - 1, n, rgb(64, 64, 64));
    s.line(n / 2, 3, n / 2, n - 3, rgb(64, 64, 64));
}

}  // namespace

PvrWindow::PvrWindow(PacketBuffer& buffer, Pipeline& pipeline, Hooks hooks, QWidget* parent)
    : QWidget(parent, fixedWindowFlags()),
      buffer_(buffer),
      pipeline_(pipeline),
      hooks_(std::move(hooks)) {
    steady_.start();
    setObjectName(QStringLiteral("frmFilters"));
    setWindowTitle(QStringLiteral("pelsid: PVR"));
    setAttribute(Qt::WA_DeleteOnClose);
    setFont(sansSerif(8.25));
    colourize(this, Qt::white, QColor(64, 64, 64));
    setFixedSize(kClientWidth, kClientHeight);

    buildTransport();
    buildRangeStrip();

    // Window load.
    minLeft_ = 0;
    maxLeft_ = BufferRangeGeometry::kMaxHandleRight;
    placeHandles();
    speedChanged(spnSpeed_->value());
    btnStop_->setChecked(true);  // no lock: the Stop handler runs and puts the PVR at the start

    updatePacketCounters();
    if (buffer_.getPacketCount() > 0) initFilters();
}

void PvrWindow::buildTransport() {
    lblPacketCounter_ =
        counterLabel(this, "lblPacketCounter", QStringLiteral("0"), {0, 0, 201, 49}, 36);
    lblPacketCounter_->setWordWrap(false);
    counterLabel(this, "lblBufferLabel", QStringLiteral("Buffer"), {200, 0, 73, 17});
    lblPacketMin_ = counterLabel(this, "lblPacketMin", QStringLiteral("1"), {200, 16, 73, 17});
    lblPacketMax_ = counterLabel(this, "lblPacketMax", QStringLiteral("Max"), {200, 32, 73, 33});
    counterLabel(this, "lblSpeed", QStringLiteral("Max Speed (pkts/sec)"), {272, 0, 89, 33});
    lblCurrentSpeed_ =
        counterLabel(this, "lblCurrentSpeed", QStringLiteral("10"), {272, 32, 89, 33});
    // Ours: the rate actually played, beside the rate asked for.
    lblMeasuredSpeed_ = new QLabel(this);
    lblMeasuredSpeed_->setObjectName(QStringLiteral("lblMeasuredSpeed"));
    lblMeasuredSpeed_->setToolTip(QStringLiteral("Measured playback rate over the last second"));
    lblMeasuredSpeed_->setFont(courier(8.25));
    colourize(lblMeasuredSpeed_, QColor(0, 128, 0), Qt::black);
    lblMeasuredSpeed_->setAlignment(Qt::AlignRight | Qt::AlignTop);
    // Clear of the speed buttons beside it, and captioned: a bare second
    // number under "Max Speed" would read as part of the setting.
    lblMeasuredSpeed_->setGeometry(298, 32, 66, 16);
    lblMeasuredSpeed_->setContentsMargins(0, 0, 3, 0);

    auto* btnMaxSpeed = button(this, "btnMaxSpeed", QStringLiteral("Max"),
                               QStringLiteral("Playback at Max Speed"), {368, 0, 33, 17});
    spnSpeed_ = new SpinButton(this);
    spnSpeed_->setObjectName(QStringLiteral("spnSpeed"));
    spnSpeed_->setToolTip(QStringLiteral("Set Playback Speed"));
    spnSpeed_->setRange(1, 1000);
    spnSpeed_->setValue(10);
    spnSpeed_->setGeometry(368, 16, 33, 33);
    auto* btnMinSpeed = button(this, "btnMinSpeed", QStringLiteral("Min"),
                               QStringLiteral("Playback at Minimum Speed"), {368, 48, 33, 17});
    tglLoop_ = button(this, "tglLoop", QStringLiteral("Loop"),
                      QStringLiteral("Toggle looping playback"), {408, 8, 73, 25}, true);
    auto* btnClear = button(this, "btnClearVisualization", QStringLiteral("Clear Screen"),
                            QStringLiteral("Clears all visualization windows"), {408, 40, 73, 25});

    scrPacket_ = new QScrollBar(Qt::Horizontal, this);
    scrPacket_->setObjectName(QStringLiteral("scrPacket"));
    scrPacket_->setRange(1, 1);
    scrPacket_->setSingleStep(1);
    scrPacket_->setPageStep(1);
    scrPacket_->setGeometry(0, 48, 369, 17);

    auto* btnStepBackward = button(this, "btnStepBackward", QStringLiteral("<<"),
                                   QStringLiteral("Step Backward"), {16, 72, 57, 25});
    btnStepBackward->setFont(sansSerif(13.5));
    btnPlay_ = button(this, "btnPlay", QStringLiteral("Play"), QStringLiteral("Playback packets"),
                      {88, 72, 65, 25}, true);
    btnPause_ = button(this, "btnPause", QStringLiteral("Pause"), QStringLiteral("Pause playback"),
                       {160, 72, 57, 25}, true);
    btnStop_ = button(this, "btnStop", QStringLiteral("Stop"), QStringLiteral("Stop playback"),
                      {224, 72, 57, 25}, true);
    auto* btnStepForward = button(this, "btnStepForward", QStringLiteral(">>"),
                                  QStringLiteral("Step Forward"), {296, 72, 57, 25});
    btnStepForward->setFont(sansSerif(13.5));
    auto* btnScreenShot =
        button(this, "btnScreenShot", QStringLiteral("Screenshots"),
               QStringLiteral("Save screenshots to application directory"), {408, 72, 73, 25});

    tmrPlayTimer_.setObjectName(QStringLiteral("tmrPlayTimer"));
    tmrPlayTimer_.setParent(this);
    tmrPlayTimer_.setTimerType(Qt::PreciseTimer);
    connect(&tmrPlayTimer_, &QTimer::timeout, this, &PvrWindow::onPlayTimer);

    connect(btnPlay_, &QPushButton::toggled, this, &PvrWindow::playChanged);
    connect(btnPause_, &QPushButton::toggled, this, &PvrWindow::pauseChanged);
    connect(btnStop_, &QPushButton::toggled, this, &PvrWindow::stopChanged);
    connect(btnStepBackward, &QPushButton::clicked, this, &PvrWindow::stepBackward);
    connect(btnStepForward, &QPushButton::clicked, this, &PvrWindow::stepForward);
    connect(btnMaxSpeed, &QPushButton::clicked, this,
            [this] { spnSpeed_->setValue(spnSpeed_->maximum()); });
    connect(btnMinSpeed, &QPushButton::clicked, this,
            [this] { spnSpeed_->setValue(spnSpeed_->minimum()); });
    connect(spnSpeed_, &QSpinBox::valueChanged, this, &PvrWindow::speedChanged);
    connect(btnClear, &QPushButton::clicked, this, [this] { pipeline_.clearAllViews(); });
    connect(btnScreenShot, &QPushButton::clicked, this, [this] {
        if (hooks_.saveScreenshots) hooks_.saveScreenshots();
    });

    connect(scrPacket_, &QScrollBar::valueChanged, this, [this] {
        // While the thumb is held the scroll handler draws each position.
        if (!scrPacket_->isSliderDown()) positionChanged();
    });
    connect(scrPacket_, &QScrollBar::sliderMoved, this, &PvrWindow::positionScrolled);
    connect(scrPacket_, &QScrollBar::sliderPressed, this,
            [this] { valueAtPress_ = scrPacket_->value(); });
    connect(scrPacket_, &QScrollBar::sliderReleased, this, [this] {
        if (scrPacket_->value() != valueAtPress_) positionChanged();
    });
}

void PvrWindow::buildRangeStrip() {
    using G = BufferRangeGeometry;
    auto* caption = new QLabel(QStringLiteral("Buffer Range:  "), this);
    caption->setGeometry(8, 108, 81, 17);
    lblBufferRange_ = counterLabel(this, "lblBufferRange", QStringLiteral("0"), {96, 108, 177, 17});

    const int trackX = (kClientWidth - twipsToPixels(G::kTrackWidth)) / 2;
    track_.resize(twipsToPixels(G::kTrackWidth), twipsToPixels(G::kTrackHeight));
    track_.setBackColor(rgb(192, 192, 192));
    track_.clear();
    picBufferSlider_ = new SurfaceWidget(track_, QStringLiteral("picBufferSlider"), this);
    picBufferSlider_->setGeometry(trackX, 128, track_.width(), track_.height());

    drawHandle(handle_);
    sliderBufferMin_ =
        new SurfaceWidget(handle_, QStringLiteral("sliderBufferMin"), picBufferSlider_);
    sliderBufferMax_ =
        new SurfaceWidget(handle_, QStringLiteral("sliderBufferMax"), picBufferSlider_);
    for (auto* h : {sliderBufferMin_, sliderBufferMax_}) {
        h->setCursor(Qt::SizeHorCursor);
        h->setProperty(kTag, QString());
    }

    lblRangeMin_ = counterLabel(this, "lblRangeMin", QStringLiteral("1"), {trackX, 152, 89, 17});
    lblRangeMax_ = counterLabel(this, "lblRangeMax", QStringLiteral("Max"),
                                {trackX + track_.width() - 89, 152, 89, 17});
    lblRangeMax_->setAlignment(Qt::AlignRight | Qt::AlignTop);

    // Ours: playing at the pace the packets were captured, faster or slower.
    tglRealTime_ = button(this, "tglRealTime", QStringLiteral("Real Time"),
                          QStringLiteral("Play at the pace the packets were captured"),
                          {328, 102, 73, 23}, true);
    spnRealTimeFactor_ = new FactorSpinBox(this);
    spnRealTimeFactor_->setObjectName(QStringLiteral("spnRealTimeFactor"));
    spnRealTimeFactor_->setToolTip(QStringLiteral("Real Time speed: 1\u00D7 is the captured pace"));
    spnRealTimeFactor_->setGeometry(408, 102, 73, 23);
    // The window's white text would hide the arrows on their light buttons.
    QPalette dark = spnRealTimeFactor_->palette();
    dark.setColor(QPalette::WindowText, Qt::black);
    dark.setColor(QPalette::ButtonText, Qt::black);
    spnRealTimeFactor_->setPalette(dark);
    connect(tglRealTime_, &QPushButton::toggled, this, &PvrWindow::realTimeChanged);

    connect(sliderBufferMin_, &SurfaceWidget::mousePressed, this, &PvrWindow::minHandlePressed);
    connect(sliderBufferMin_, &SurfaceWidget::mouseMoved, this, &PvrWindow::minHandleMoved);
    connect(sliderBufferMin_, &SurfaceWidget::mouseReleased, this, &PvrWindow::minHandleReleased);
    connect(sliderBufferMax_, &SurfaceWidget::mousePressed, this, &PvrWindow::maxHandlePressed);
    connect(sliderBufferMax_, &SurfaceWidget::mouseMoved, this, &PvrWindow::maxHandleMoved);
    connect(sliderBufferMax_, &SurfaceWidget::mouseReleased, this, &PvrWindow::maxHandleReleased);
}

void PvrWindow::placeHandles() {
    const int n = handle_.width();
    const int top = (track_.height() - n) / 2;
    sliderBufferMin_->setGeometry(twipsToPixels(minLeft_), top, n, n);
    sliderBufferMax_->setGeometry(twipsToPixels(maxLeft_), top, n, n);
}

std::int64_t PvrWindow::now() const {
    return hooks_.clockNs ? hooks_.clockNs() : steady_.nsecsElapsed();
}

int PvrWindow::intervalFor(int packetsPerSecond) {
    return int(std::nearbyint(1000.0 / packetsPerSecond));
}

bool PvrWindow::filter(int) const {
    return true;
}

void PvrWindow::updatePacketCounters() {
    const int count = buffer_.getPacketCount();
    lblPacketCounter_->setText(QString::number(count));
    lblPacketMax_->setText(QString::number(count));
    TagLock lock(scrPacket_);
    const int oldest = buffer_.oldestHeld();
    // An empty buffer leaves the bar at its one position 1 (the maximum cannot go below it).
    scrPacket_->setRange(oldest, std::max(oldest, count));
    lblPacketMin_->setText(QString::number(oldest));
}

void PvrWindow::initFilters() {
    const int count = buffer_.getPacketCount();
    const int oldest = buffer_.oldestHeld();
    range_ = {oldest, count};
    lblBufferRange_->setText(QStringLiteral("%1 - %2").arg(oldest).arg(count));
    lblRangeMin_->setText(QString::number(oldest));
    lblRangeMax_->setText(QString::number(count));
}

// Transport.

std::int64_t PvrWindow::periodNs() const {
    return 1'000'000'000 / spnSpeed_->value();
}

void PvrWindow::setTimerRunning(bool on) {
    if (on == tmrPlayTimer_.isActive()) return;
    if (on) {
        pacer_.start(now(), periodNs());
        realTime_.start(now());
        meter_.reset();
        tmrPlayTimer_.start();
    } else {
        tmrPlayTimer_.stop();
        meter_.reset();
    }
    measuredShownAt_ = 0;
    showMeasuredRate();
}

void PvrWindow::playChanged() {
    if (isLocked(btnPlay_)) return;
    if (btnStop_->isChecked()) {
        {
            TagLock lock(btnStop_);
            btnStop_->setChecked(false);
        }
        pipeline_.clearAllViews();
    }
    if (btnPause_->isChecked()) {
        TagLock lock(btnPause_);
        btnPause_->setChecked(false);
    }
    // Play shows pressed while playback runs, also after a click that released
    // it, so that Pause can always pause.
    if (!btnPlay_->isChecked()) {
        TagLock lock(btnPlay_);
        btnPlay_->setChecked(true);
    }
    setTimerRunning(true);
}

void PvrWindow::pauseChanged() {
    if (isLocked(btnPause_)) return;
    if (!btnPlay_->isChecked()) {
        btnPause_->setChecked(false);  // unlocked on purpose: the repeat finds nothing to do
    } else if (!btnPause_->isChecked()) {
        playChanged();
    } else {
        setTimerRunning(false);
    }
}

void PvrWindow::stopChanged() {
    if (isLocked(btnStop_)) return;
    setTimerRunning(false);
    {
        TagLock lock(scrPacket_);
        scrPacket_->setValue(scrPacket_->minimum());
    }
    lblPacketCounter_->setText(QString::number(scrPacket_->value()));
    {
        TagLock lock(btnPause_);
        btnPause_->setChecked(false);
    }
    TagLock lock(btnPlay_);
    btnPlay_->setChecked(false);
}

void PvrWindow::onPlayTimer() {
    if (tglRealTime_->isChecked()) {
        playRealTime();
        return;
    }
    const std::int64_t started = now();
    const int due = pacer_.due(started);
    for (int i = 0; i < due && tmrPlayTimer_.isActive(); ++i) {
        tick();
        pacer_.consumed(1);
        const std::int64_t t = now();
        meter_.record(t);
        if (t - started >= kWorkBudgetNs) break;
    }
    showMeasuredRate();
}

void PvrWindow::playRealTime() {
    const std::int64_t started = now();
    while (tmrPlayTimer_.isActive() && realTime_.take(now(), realTimeWait())) {
        tick();
        meter_.record(now());
        if (now() - started >= kWorkBudgetNs) break;
    }
    showMeasuredRate();
    // Wake when the next packet is due, and often enough to see a new factor soon.
    const std::int64_t until = realTime_.untilDue(now(), realTimeWait());
    tmrPlayTimer_.setInterval(int(std::clamp<std::int64_t>(until / 1'000'000, 1, 250)));
}

std::int64_t PvrWindow::realTimeWait() const {
    const int at = scrPacket_->value();
    // The step back to the start of a loop, and the end, keep the rate set.
    if (buffer_.getPacketCount() == 0 || at >= scrPacket_->maximum() || !buffer_.holds(at))
        return periodNs();
    return RealTimePacer::waitNs(buffer_.captureTime(at), buffer_.captureTime(at + 1),
                                 spnRealTimeFactor_->value(), periodNs());
}

void PvrWindow::realTimeChanged() {
    tmrPlayTimer_.setInterval(intervalFor(spnSpeed_->value()));
    if (!tmrPlayTimer_.isActive()) return;
    pacer_.start(now(), periodNs());
    realTime_.start(now());
}

void PvrWindow::showMeasuredRate() {
    if (!tmrPlayTimer_.isActive()) {
        lblMeasuredSpeed_->clear();
        return;
    }
    const std::int64_t t = now();
    if (measuredShownAt_ != 0 && t - measuredShownAt_ < kMeasuredRefreshNs) return;
    measuredShownAt_ = t;
    const double rate = meter_.rate();
    // "now 999.9" would not fit beside "1000": whole numbers from 100 on.
    lblMeasuredSpeed_->setText(
        rate > 0 ? QStringLiteral("now ") + QString::number(rate, 'f', rate < 100 ? 1 : 0)
                 : QString());
}

void PvrWindow::tick() {
    if (buffer_.getPacketCount() == 0) {  // nothing held: playback simply ends
        stopChanged();
        return;
    }
    if (scrPacket_->value() < scrPacket_->maximum())
        playAt(scrPacket_->value() + 1);
    else if (tglLoop_->isChecked())
        playAt(scrPacket_->minimum());
    else
        stopChanged();
}

void PvrWindow::playAt(int packetNumber) {
    {
        TagLock lock(scrPacket_);
        scrPacket_->setValue(packetNumber);
    }
    lblPacketCounter_->setText(QString::number(packetNumber));
    pipeline_.playPackets(packetNumber, packetNumber);
}

void PvrWindow::stepBackward() {
    if (scrPacket_->minimum() < scrPacket_->value()) playAt(scrPacket_->value() - 1);
}

void PvrWindow::stepForward() {
    if (scrPacket_->value() < scrPacket_->maximum()) playAt(scrPacket_->value() + 1);
}

void PvrWindow::speedChanged(int value) {
    lblCurrentSpeed_->setText(QString::number(value));
    if (!tglRealTime_->isChecked()) tmrPlayTimer_.setInterval(intervalFor(value));
    if (tmrPlayTimer_.isActive()) pacer_.start(now(), periodNs());
}

// Position bar.

void PvrWindow::positionChanged() {
    if (isLocked(scrPacket_)) return;
    positionScrolled(scrPacket_->value());
}

void PvrWindow::positionScrolled(int value) {
    pipeline_.clearAllViews();
    lblPacketCounter_->setText(QString::number(value));
    pipeline_.playPackets(value, value);
}

// Buffer-range strip.

void PvrWindow::minHandlePressed(QPoint pos) {
    sliderBufferMin_->setProperty(kTag, QStringLiteral("mindown"));
    grabOffset_ = pos.x() * 15;
}

void PvrWindow::minHandleMoved(QPoint pos) {
    if (sliderBufferMin_->property(kTag).toString() != QLatin1String("mindown")) return;
    minLeft_ = dragMinHandle(minLeft_, BufferRangeGeometry::kHandleWidth, pos.x() * 15, grabOffset_,
                             maxLeft_);
    placeHandles();
}

void PvrWindow::minHandleReleased() {
    if (sliderBufferMin_->property(kTag).toString() != QLatin1String("mindown")) return;
    applyRange();
    sliderBufferMin_->setProperty(kTag, QStringLiteral("minoff"));
}

void PvrWindow::maxHandlePressed(QPoint pos) {
    sliderBufferMax_->setProperty(kTag, QStringLiteral("maxdown"));
    grabOffset_ = pos.x() * 15;
}

void PvrWindow::maxHandleMoved(QPoint pos) {
    if (sliderBufferMax_->property(kTag).toString() != QLatin1String("maxdown")) return;
    maxLeft_ =
        dragMaxHandle(maxLeft_, pos.x() * 15, grabOffset_, minLeft_,
                      BufferRangeGeometry::kHandleWidth, BufferRangeGeometry::kMaxHandleRight);
    placeHandles();
}

void PvrWindow::maxHandleReleased() {
    if (sliderBufferMax_->property(kTag).toString() != QLatin1String("maxdown")) return;
    applyRange();
    sliderBufferMax_->setProperty(kTag, QStringLiteral("maxoff"));
}

void PvrWindow::applyRange() {
    using G = BufferRangeGeometry;
    const int maxOffset = maxLeft_ - G::kHandleWidth + G::kRightMargin;
    const PacketRange r = packetRangeFor(minLeft_, maxOffset, G::kTrackLength, buffer_.oldestHeld(),
                                         buffer_.getPacketCount());
    range_ = r;
    lblBufferRange_->setText(QStringLiteral("%1 - %2").arg(r.first).arg(r.last));
    if (hooks_.reinitRangeViews) hooks_.reinitRangeViews();
    pipeline_.playPackets(r.first, r.last);
}

}  // namespace pelsid
