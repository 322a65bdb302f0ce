#include "views/ByteFrequencyWindow.h"

#include <QComboBox>
#include <QLabel>
#include <QRadioButton>
#include <QScrollBar>

#include "views/Named.h"
#include "views/SurfaceWidget.h"
#include "views/Thumbnails.h"

namespace pelsid {

namespace {
constexpr int kMargin = 6;
constexpr int kRowHeight = 24;
constexpr int kControlsHeight = 2 * kRowHeight + 12;  // mode list and scroll buttons
constexpr int kDesignHeight = ByteFrequencyWindow::kPictureHeight + kControlsHeight +
                              ByteFrequencyWindow::kThresholdStripHeight;

QLabel* label(const char* name, const char* text, QWidget* parent) {
    return named<QLabel>(name, QString::fromLatin1(text), parent);
}
}  // namespace

ByteFrequencyWindow::ByteFrequencyWindow(ViewContext& context, QWidget* parent)
    : ScrollingViewWindow(context, QStringLiteral("frmVis2"),
                          QStringLiteral("pelsid: Byte Frequency"), 2, "_bytefrequency.bmp",
                          parent),
      cmbVisMode_(named<QComboBox>("cmbVisMode", this)),
      lblStaticScroll_(label("lblStaticScroll", kStaticScroll, this)),
      lblDynamicScroll_(label("lblDynamicScroll", kDynamicScroll, this)),
      scrThreshold_(named<QScrollBar>("scrThreshold", Qt::Horizontal, this)),
      lblFrequencyThreshold_(label("lblFrequencyThreshold", "Frequency Threshold", this)),
      lblThresholdMin_(label("lblThresholdMin", "0", this)),
      lblThresholdMax_(label("lblThresholdMax", "20%", this)),
      lblThreshold_(label("lblThreshold", "5%", this)) {
    scrThreshold_->setRange(0, kThresholdMaximum);
    scrThreshold_->setPageStep(4);

    // Fixed layout: the picture keeps its designed size.
    const int w = kPictureWidth;
    int y = kPictureHeight + kMargin;
    setPictureSize(kPictureWidth, kPictureHeight);
    cmbVisMode_->setGeometry(kMargin, y, w - 2 * kMargin, kRowHeight);
    y += kRowHeight + 4;
    radScroll(0)->setGeometry(kMargin, y, 20, kRowHeight);
    lblStaticScroll_->setGeometry(kMargin + 20, y, 100, kRowHeight);
    radScroll(1)->setGeometry(w / 2, y, 20, kRowHeight);
    lblDynamicScroll_->setGeometry(w / 2 + 20, y, w / 2 - 20 - kMargin, kRowHeight);
    y = kPictureHeight + kControlsHeight + 4;
    lblFrequencyThreshold_->setGeometry(kMargin, y, 150, kRowHeight);
    lblThreshold_->setGeometry(w - 60 - kMargin, y, 60, kRowHeight);
    lblThreshold_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    y += kRowHeight + 4;
    lblThresholdMin_->setGeometry(kMargin, y, 20, 18);
    scrThreshold_->setGeometry(kMargin + 20, y, w - 2 * kMargin - 60, 18);
    lblThresholdMax_->setGeometry(w - kMargin - 36, y, 36, 18);
    lblThresholdMax_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    // Load step: the designed height less the threshold strip, then the mode.
    originalHeight_ = kDesignHeight - kThresholdStripHeight;
    setFixedSize(w, originalHeight_);
    connect(cmbVisMode_, &QComboBox::currentIndexChanged, this,
            [this](int index) { settings_.mode = index; });
    connect(cmbVisMode_, &QComboBox::currentIndexChanged, this, &ByteFrequencyWindow::applyMode);
    cmbVisMode_->addItems(
        {QStringLiteral("byte presence"), QStringLiteral("byte frequency (by packet)")});
    connect(scrThreshold_, &QScrollBar::valueChanged, this,
            [this](int value) { settings_.threshold = value; });
    connect(scrThreshold_, &QScrollBar::valueChanged, this, &ByteFrequencyWindow::showThreshold);
    scrThreshold_->setValue(int(std::nearbyint(kThresholdMaximum * 0.5)));
    showThreshold();
}

void ByteFrequencyWindow::grayVisThumb() {
    context_.thumbnails.setBordered(2, true);
}

void ByteFrequencyWindow::beginRun() {
    ScrollingViewWindow::beginRun();
    run_ = settings_;
}

double ByteFrequencyWindow::threshold(const Settings& settings) {
    return thresholdShare(settings.threshold, kThresholdMaximum);
}

std::uint32_t ByteFrequencyWindow::scaleColor(const PlayedPacket& packet,
                                              float currentFrequency) const {
    if (currentFrequency == 0.0f) return 0;
    return frequencyColour(mode(), packet.color, threshold(settings_), currentFrequency);
}

void ByteFrequencyWindow::drawRow(Surface& target, int row, const PlayedPacket& packet) {
    if (run_.mode < 0) return;
    const FrequencyMode m = FrequencyMode(run_.mode);
    const std::uint32_t colour = m == FrequencyMode::Presence ? packet.color : 0;
    drawFrequencyRow(target, row, packet.bytes, packet.length, m, colour, threshold(run_));
}

void ByteFrequencyWindow::drawThumbnailRow(Surface& thumbnail, int row,
                                           const PlayedPacket& packet) {
    drawFrequencyThumbnailRow(thumbnail, row, packet.bytes, packet.length);
}

void ByteFrequencyWindow::applyMode() {
    const bool share = mode() == FrequencyMode::ByPacket;
    for (QWidget* w :
         {static_cast<QWidget*>(lblThreshold_), static_cast<QWidget*>(lblThresholdMax_),
          static_cast<QWidget*>(lblThresholdMin_), static_cast<QWidget*>(lblFrequencyThreshold_),
          static_cast<QWidget*>(scrThreshold_)})
        w->setVisible(share);
    setFixedHeight(originalHeight_ + (share ? kThresholdStripHeight : 0));
}

void ByteFrequencyWindow::showThreshold() {
    lblThreshold_->setText(thresholdText(scrThreshold_->value(), scrThreshold_->maximum()));
}

QString ByteFrequencyWindow::byteText(SurfaceWidget&, QPoint pos, const PlayedPacket*) const {
    return byteReadout(pos.x()).value_or(QString());
}

}  // namespace pelsid
