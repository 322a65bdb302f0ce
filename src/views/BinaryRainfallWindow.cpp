#include "views/BinaryRainfallWindow.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QResizeEvent>

#include "views/Named.h"
#include "views/SurfaceWidget.h"
#include "views/ViewGeometry.h"

namespace pelsid {

namespace {
QPushButton* toggle(const char* name, const char* caption, QWidget* parent) {
    auto* b = named<QPushButton>(name, QString::fromLatin1(caption), parent);
    b->setCheckable(true);
    return b;
}
}  // namespace

BinaryRainfallWindow::BinaryRainfallWindow(ViewContext& context, QWidget* parent)
    : ScrollingViewWindow(context, QStringLiteral("frmVis4"),
                          QStringLiteral("pelsid: Binary Rainfall"), 4, "_binaryrainfall.bmp",
                          parent),
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

    cmbVisMode_->addItems({QStringLiteral("packet length"), QStringLiteral("rainfall 24:1"),
                           QStringLiteral("rainfall 8:1"), QStringLiteral("rainfall 1:1")});
    connect(cmbVisMode_, &QComboBox::currentIndexChanged, this,
            [this](int index) { settings_.mode = index; });
    connect(tglASCII_, &QPushButton::toggled, this,
            [this](bool on) { settings_.highlights.ascii = on; });
    connect(tglNOP_, &QPushButton::toggled, this,
            [this](bool on) { settings_.highlights.nop = on; });
    connect(cmbVisMode_, &QComboBox::currentIndexChanged, this, &BinaryRainfallWindow::initVisAll);
    cmbVisMode_->setCurrentIndex(2);
    connect(pictureWidget(), &SurfaceWidget::doubleClicked, this, &BinaryRainfallWindow::nextMode);

    setMinimumSize(kMinWindowWidth, kMinWindowHeight);
    setPictureSize(kDefaultWidth, kDefaultHeight - kStripHeight);
    resize(kDefaultWidth, kDefaultHeight);
}

void BinaryRainfallWindow::beginRun() {
    ScrollingViewWindow::beginRun();
    run_ = settings_;
}

void BinaryRainfallWindow::drawRow(Surface& target, int row, const PlayedPacket& packet) {
    if (run_.mode < 0) return;
    const BinaryMode m = BinaryMode(run_.mode);
    const std::uint32_t colour = usesPacketColour(m) ? packet.color : 0;
    drawBinaryRow(target, row, m, run_.highlights, packet.bytes, packet.length, colour);
}

void BinaryRainfallWindow::drawThumbnailRow(Surface& thumbnail, int row,
                                            const PlayedPacket& packet) {
    drawBinaryThumbnailRow(thumbnail, row, packet.bytes, packet.length);
}

QString BinaryRainfallWindow::byteText(SurfaceWidget&, QPoint pos,
                                       const PlayedPacket* packet) const {
    const std::optional<BytePosition> at = byteAtColumn(mode(), pos.x());
    return packet && at ? byteDescription(at->offset, at->bit, *packet) : QString();
}

void BinaryRainfallWindow::nextMode() {
    cmbVisMode_->setCurrentIndex((cmbVisMode_->currentIndex() + 1) % cmbVisMode_->count());
}

void BinaryRainfallWindow::resizeEvent(QResizeEvent* event) {
    ViewWindow::resizeEvent(event);
    const int w = width(), h = height() - kStripHeight;
    // A resize that keeps the picture's size (the first show) keeps the picture.
    if (w != picGraph().width() || std::max(1, h) != picGraph().height()) setPictureSize(w, h);
    strip_->setGeometry(0, height() - kStripHeight, width(), kStripHeight);
}

}  // namespace pelsid
