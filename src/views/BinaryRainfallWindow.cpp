#include "views/BinaryRainfallWindow.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QResizeEvent>

#include "views/ViewGeometry.h"
#include "widgets/Named.h"
#include "widgets/SurfaceWidget.h"

namespace pelsid {

namespace {
QPushButton* toggle(const char* name, const char* caption, QWidget* parent) {
    auto* b = named<QPushButton>(name, QString::fromLatin1(caption), parent);
    b->setCheckable(true);
    return b;
}
}  // namespace

BinaryRainfallWindow::BinaryRainfallWindow(ViewContext& context, QWidget* parent)
    : BinaryRainfallWindow(context, *new BinaryRainfallRenderer(context.thumbnails), true, parent) {
}

BinaryRainfallWindow::BinaryRainfallWindow(ViewContext& context, BinaryRainfallRenderer& renderer,
                                           QWidget* parent)
    : BinaryRainfallWindow(context, renderer, false, parent) {}

BinaryRainfallWindow::BinaryRainfallWindow(ViewContext& context, BinaryRainfallRenderer& renderer,
                                           bool ownsRenderer, QWidget* parent)
    : ScrollingViewWindow(context, renderer, ownsRenderer, QStringLiteral("frmVis4"),
                          QStringLiteral("pelsid: Binary Rainfall"), parent),
      view_(renderer),
      cmbVisMode_(named<QComboBox>("cmbVisMode", this)),
      lblHighlight_(named<QLabel>("lblHighlight", QStringLiteral("Highlight"), this)),
      tglASCII_(toggle("tglASCII", "Printable ASCII", this)),
      tglNOP_(toggle("tglNOP", "NOP 0x90", this)),
      strip_(new QWidget(this)) {
    radScroll(0)->setText(QLatin1String(kStaticScroll));
    radScroll(1)->setText(QLatin1String(kDynamicScroll));

    auto* grid = new QGridLayout(strip_);
    grid->setContentsMargins(8, 4, 8, 4);
    grid->addWidget(cmbVisMode_, 0, 0);
    grid->addWidget(radScroll(0), 0, 1);
    grid->addWidget(radScroll(1), 1, 1);
    grid->addWidget(lblHighlight_, 0, 2);
    grid->addWidget(tglASCII_, 0, 3);
    grid->addWidget(tglNOP_, 1, 3);
    grid->setColumnStretch(4, 1);

    // The controls show the renderer's settings before they edit them.
    cmbVisMode_->addItems(BinaryRainfallRenderer::modeNames());
    cmbVisMode_->setCurrentIndex(view_.settings().mode);
    tglASCII_->setChecked(view_.highlights().ascii);
    tglNOP_->setChecked(view_.highlights().nop);
    connect(cmbVisMode_, &QComboBox::currentIndexChanged, this,
            [this](int index) { view_.setMode(index); });
    connect(tglASCII_, &QPushButton::toggled, this, [this](bool on) {
        Highlights h = view_.highlights();
        h.ascii = on;
        view_.setHighlights(h);
    });
    connect(tglNOP_, &QPushButton::toggled, this, [this](bool on) {
        Highlights h = view_.highlights();
        h.nop = on;
        view_.setHighlights(h);
    });
    connect(pictureWidget(), &SurfaceWidget::doubleClicked, this, &BinaryRainfallWindow::nextMode);

    setMinimumSize(kMinWindowWidth, kMinWindowHeight);
    resize(kDefaultWidth, kDefaultHeight);
}

void BinaryRainfallWindow::nextMode() {
    cmbVisMode_->setCurrentIndex((cmbVisMode_->currentIndex() + 1) % cmbVisMode_->count());
}

void BinaryRainfallWindow::resizeEvent(QResizeEvent* event) {
    ViewWindow::resizeEvent(event);
    const int w = width(), h = height() - kStripHeight;
    // A resize that keeps the picture's size (the first show) keeps the picture.
    const Surface& picture = view_.picGraph();
    if (w != picture.width() || std::max(1, h) != picture.height()) setPictureSize(w, h);
    strip_->setGeometry(0, height() - kStripHeight, width(), kStripHeight);
}

}  // namespace pelsid
