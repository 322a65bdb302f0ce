#include "control/PvrWindow.h"

#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QSpinBox>
#include <cmath>

#include "control/BufferRange.h"
#include "control/FactorSpinBox.h"
#include "control/FixedWindowFlags.h"
#include "control/PlaybackController.h"
#include "raster/Color.h"
#include "views/ViewGeometry.h"
#include "widgets/SpinButton.h"
#include "widgets/SurfaceWidget.h"

namespace pelsid {

namespace {

constexpr int kClientWidth = 487;
constexpr int kClientHeight = 175;  // the transport rows (103) and the range strip below them

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

PvrWindow::PvrWindow(PlaybackController& playback, std::function<void()> saveScreenshots,
                     QWidget* parent)
    : QWidget(parent, fixedWindowFlags()),
      playback_(playback),
      saveScreenshots_(std::move(saveScreenshots)) {
    setObjectName(QStringLiteral("frmFilters"));
    setWindowTitle(QStringLiteral("pelsid: PVR"));
    setAttribute(Qt::WA_DeleteOnClose);
    setFont(sansSerif(8.25));
    colourize(this, Qt::white, QColor(64, 64, 64));
    setFixedSize(kClientWidth, kClientHeight);

    buildTransport();
    buildRangeStrip();

    connect(&playback_, &PlaybackController::stateChanged, this, &PvrWindow::showState);
    connect(&playback_, &PlaybackController::positionChanged, this, &PvrWindow::showPosition);
    connect(&playback_, &PlaybackController::heldChanged, this, &PvrWindow::showHeld);
    connect(&playback_, &PlaybackController::rangeChanged, this, &PvrWindow::showRange);
    connect(&playback_, &PlaybackController::measuredRateChanged, this,
            &PvrWindow::showMeasuredRate);
    // Window load.
    playback_.reset();
    showState();
    showHeld();
    showRange();
}

PvrWindow::~PvrWindow() {
    disconnect(&playback_, nullptr, this, nullptr);
    playback_.halt();
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
    spnSpeed_->setRange(PlaybackController::kMinRate, PlaybackController::kMaxRate);
    spnSpeed_->setValue(PlaybackController::kDefaultRate);
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

    connect(btnPlay_, &QPushButton::clicked, this, [this] { clicked(&PlaybackController::play); });
    connect(btnPause_, &QPushButton::clicked, this,
            [this] { clicked(&PlaybackController::pause); });
    connect(btnStop_, &QPushButton::clicked, this, [this] { clicked(&PlaybackController::stop); });
    connect(btnStepBackward, &QPushButton::clicked, &playback_, &PlaybackController::stepBackward);
    connect(btnStepForward, &QPushButton::clicked, &playback_, &PlaybackController::stepForward);
    connect(btnMaxSpeed, &QPushButton::clicked, this,
            [this] { playback_.setRate(PlaybackController::kMaxRate); });
    connect(btnMinSpeed, &QPushButton::clicked, this,
            [this] { playback_.setRate(PlaybackController::kMinRate); });
    connect(spnSpeed_, &QSpinBox::valueChanged, &playback_, &PlaybackController::setRate);
    connect(tglLoop_, &QPushButton::toggled, &playback_, &PlaybackController::setLoop);
    connect(btnClear, &QPushButton::clicked, &playback_, &PlaybackController::clearViews);
    connect(btnScreenShot, &QPushButton::clicked, this, [this] {
        if (saveScreenshots_) saveScreenshots_();
    });

    // The bar is moved from here with its signals blocked, so each of these is the user's.
    connect(scrPacket_, &QScrollBar::valueChanged, this, [this](int value) {
        // While the thumb is held the slider's moves draw each position.
        if (!scrPacket_->isSliderDown()) playback_.seek(value);
    });
    connect(scrPacket_, &QScrollBar::sliderMoved, &playback_, &PlaybackController::seek);
    connect(scrPacket_, &QScrollBar::sliderPressed, this,
            [this] { valueAtPress_ = scrPacket_->value(); });
    connect(scrPacket_, &QScrollBar::sliderReleased, this, [this] {
        if (scrPacket_->value() != valueAtPress_) playback_.seek(scrPacket_->value());
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
    for (auto* h : {sliderBufferMin_, sliderBufferMax_}) h->setCursor(Qt::SizeHorCursor);

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
    connect(tglRealTime_, &QPushButton::toggled, &playback_, &PlaybackController::setRealTime);
    connect(spnRealTimeFactor_, &QDoubleSpinBox::valueChanged, &playback_,
            &PlaybackController::setFactor);

    for (const auto& place :
         {std::pair{sliderBufferMin_, Handle::Min}, std::pair{sliderBufferMax_, Handle::Max}}) {
        SurfaceWidget* widget = place.first;
        const Handle handle = place.second;
        connect(widget, &SurfaceWidget::mousePressed, this,
                [this, handle](QPoint pos) { handlePressed(handle, pos); });
        connect(widget, &SurfaceWidget::mouseMoved, this,
                [this, handle](QPoint pos) { handleMoved(handle, pos); });
        connect(widget, &SurfaceWidget::mouseReleased, this,
                [this, handle] { handleReleased(handle); });
    }
}

void PvrWindow::clicked(void (PlaybackController::*action)()) {
    (playback_.*action)();
    showState();
}

void PvrWindow::showState() {
    const struct {
        QPushButton* button;
        bool on;
    } toggles[] = {{btnPlay_, playback_.playPressed()},
                   {btnPause_, playback_.pausePressed()},
                   {btnStop_, playback_.stopPressed()},
                   {tglLoop_, playback_.loop()},
                   {tglRealTime_, playback_.realTime()}};
    for (const auto& t : toggles) {
        const QSignalBlocker quiet(t.button);
        t.button->setChecked(t.on);
    }
    const QSignalBlocker quietSpeed(spnSpeed_);
    spnSpeed_->setValue(playback_.rate());
    lblCurrentSpeed_->setText(QString::number(playback_.rate()));
    const QSignalBlocker quietFactor(spnRealTimeFactor_);
    spnRealTimeFactor_->setValue(playback_.factor());
}

void PvrWindow::showPosition(int packet) {
    const QSignalBlocker quiet(scrPacket_);
    scrPacket_->setValue(packet);
    lblPacketCounter_->setText(QString::number(packet));
}

void PvrWindow::showHeld() {
    const QSignalBlocker quiet(scrPacket_);
    scrPacket_->setRange(playback_.first(), playback_.last());
    scrPacket_->setValue(playback_.position());
    const QString count = QString::number(playback_.newest());
    lblPacketCounter_->setText(count);
    lblPacketMax_->setText(count);
    lblPacketMin_->setText(QString::number(playback_.first()));
}

void PvrWindow::showRange() {
    if (const auto r = playback_.range())
        lblBufferRange_->setText(QStringLiteral("%1 - %2").arg(r->first).arg(r->last));
    else
        lblBufferRange_->setText(QStringLiteral("0"));
    if (const auto e = playback_.extent()) {
        lblRangeMin_->setText(QString::number(e->first));
        lblRangeMax_->setText(QString::number(e->last));
    }
    const PlaybackController::Handles& h = playback_.handles();
    const int n = handle_.width();
    const int top = (track_.height() - n) / 2;
    sliderBufferMin_->setGeometry(twipsToPixels(h.minLeft), top, n, n);
    sliderBufferMax_->setGeometry(twipsToPixels(h.maxLeft), top, n, n);
}

void PvrWindow::showMeasuredRate(double rate) {
    // "now 999.9" would not fit beside "1000": whole numbers from 100 on.
    lblMeasuredSpeed_->setText(rate > 0 ? QStringLiteral("now ") +
                                              QString::number(rate, 'f', rate < 100 ? 1 : 0)
                                        : QString());
}

// Buffer-range strip.

void PvrWindow::handlePressed(Handle handle, QPoint pos) {
    dragging_ = handle;
    grabOffset_ = pixelsToTwips(pos.x());
}

void PvrWindow::handleMoved(Handle handle, QPoint pos) {
    if (dragging_ != handle) return;
    if (handle == Handle::Min)
        playback_.dragMinHandle(pixelsToTwips(pos.x()), grabOffset_);
    else
        playback_.dragMaxHandle(pixelsToTwips(pos.x()), grabOffset_);
}

void PvrWindow::handleReleased(Handle handle) {
    if (dragging_ != handle) return;
    dragging_ = Handle::None;
    playback_.applyHandles();
}

}  // namespace pelsid
