#include "views/ByteFrequencyWindow.h"

#include <QComboBox>
#include <QLabel>
#include <QRadioButton>
#include <QScrollBar>

#include "views/Thumbnails.h"
#include "widgets/Named.h"
#include "widgets/SurfaceWidget.h"

namespace pelsid {

namespace {
constexpr int kMargin = 6;
constexpr int kRowHeight = 24;
constexpr int kControlsHeight = 2 * kRowHeight + 12;  // mode list and scroll buttons
constexpr int kPictureWidth = ByteFrequencyRenderer::kPictureWidth;
constexpr int kPictureHeight = ByteFrequencyRenderer::kPictureHeight;
constexpr int kThresholdMaximum = ByteFrequencyRenderer::kThresholdMaximum;
constexpr int kDesignHeight =
    kPictureHeight + kControlsHeight + ByteFrequencyWindow::kThresholdStripHeight;

QLabel* label(const char* name, const char* text, QWidget* parent) {
    return named<QLabel>(name, QString::fromLatin1(text), parent);
}
}  // namespace

ByteFrequencyWindow::ByteFrequencyWindow(ViewContext& context, QWidget* parent)
    : ByteFrequencyWindow(context, *new ByteFrequencyRenderer(context.thumbnails), true, parent) {}

ByteFrequencyWindow::ByteFrequencyWindow(ViewContext& context, ByteFrequencyRenderer& renderer,
                                         QWidget* parent)
    : ByteFrequencyWindow(context, renderer, false, parent) {}

ByteFrequencyWindow::ByteFrequencyWindow(ViewContext& context, ByteFrequencyRenderer& renderer,
                                         bool ownsRenderer, QWidget* parent)
    : ScrollingViewWindow(context, renderer, ownsRenderer, QStringLiteral("frmVis2"),
                          QStringLiteral("pelsid: Byte Frequency"), parent),
      view_(renderer),
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
    // The controls show the renderer's settings before they edit them.
    cmbVisMode_->addItems(ByteFrequencyRenderer::modeNames());
    cmbVisMode_->setCurrentIndex(view_.settings().mode);
    scrThreshold_->setValue(view_.settings().threshold);
    connect(cmbVisMode_, &QComboBox::currentIndexChanged, this, [this](int index) {
        view_.setMode(index);
        applyMode();
    });
    connect(scrThreshold_, &QScrollBar::valueChanged, this, [this](int value) {
        view_.setThreshold(value);
        showThreshold();
    });
    applyMode();
    showThreshold();
}

void ByteFrequencyWindow::applyMode() {
    const bool share = view_.mode() == FrequencyMode::ByPacket;
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

}  // namespace pelsid
