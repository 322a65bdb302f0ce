#include "views/TextRainfallWindow.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QResizeEvent>
#include <QSpinBox>
#include <algorithm>

#include "views/ViewGeometry.h"
#include "widgets/SpinButton.h"
#include "widgets/SurfaceWidget.h"

namespace pelsid {

TextRainfallWindow::TextRainfallWindow(ViewContext& context, QWidget* parent)
    : TextRainfallWindow(context, *new TextRainfallRenderer(context.thumbnails), true, parent) {}

TextRainfallWindow::TextRainfallWindow(ViewContext& context, TextRainfallRenderer& renderer,
                                       QWidget* parent)
    : TextRainfallWindow(context, renderer, false, parent) {}

TextRainfallWindow::TextRainfallWindow(ViewContext& context, TextRainfallRenderer& renderer,
                                       bool ownsRenderer, QWidget* parent)
    : ViewWindow(context, renderer, ownsRenderer, QStringLiteral("frmVis1"),
                 QStringLiteral("pelsid: Text Rainfall"), parent),
      view_(renderer) {
    setMinimumSize(kMinWindowWidth, kMinWindowHeight);
    graphWidget_ = new SurfaceWidget(view_.picGraph(), QStringLiteral("picGraph"), this);

    cmbVisMode_ = new QComboBox(this);
    cmbVisMode_->setObjectName(QStringLiteral("cmbVisMode"));
    tglPrintASCII_ = new QPushButton(QStringLiteral("Show Strings of Length N"), this);
    tglPrintASCII_->setObjectName(QStringLiteral("tglPrintASCII"));
    tglPrintASCII_->setCheckable(true);
    spnLength_ = new SpinButton(this);
    spnLength_->setObjectName(QStringLiteral("spnLength"));
    spnLength_->setRange(1, TextRainfallRenderer::kMaxStringLength);
    lblLength_ = new QLabel(this);
    lblLength_->setObjectName(QStringLiteral("lblLength"));
    tglEther_ = new QPushButton(QStringLiteral("Strip Ether Header"), this);
    tglEther_->setObjectName(QStringLiteral("tglEther"));
    tglEther_->setCheckable(true);

    // The controls show the renderer's settings before they edit them.
    const TextRainfallRenderer::Settings& s = view_.settings();
    cmbVisMode_->addItems(TextRainfallRenderer::modeNames());
    cmbVisMode_->setCurrentIndex(s.mode);
    tglPrintASCII_->setChecked(s.printASCII);
    spnLength_->setValue(s.length);
    tglEther_->setChecked(s.stripEther);
    lblLength_->setText(QString::number(s.length));
    const bool strings = s.mode == 0 && s.printASCII;
    spnLength_->setVisible(strings);
    lblLength_->setVisible(strings);
    tglPrintASCII_->setVisible(s.mode == 0);

    connect(cmbVisMode_, &QComboBox::currentIndexChanged, this, [this](int index) {
        view_.setMode(index);
        initVis();
    });
    connect(tglPrintASCII_, &QPushButton::toggled, this, [this](bool on) {
        view_.editSettings().printASCII = on;
        spnLength_->setVisible(on);
        lblLength_->setVisible(on);
    });
    connect(spnLength_, &QSpinBox::valueChanged, this, [this](int n) {
        view_.editSettings().length = n;
        lblLength_->setText(QString::number(n));
    });
    connect(tglEther_, &QPushButton::toggled, this,
            [this](bool on) { view_.editSettings().stripEther = on; });
    connect(graphWidget_, &SurfaceWidget::doubleClicked, this, &TextRainfallWindow::nextMode);

    resize(view_.picGraph().width(), view_.picGraph().height() + kStripHeight);
    linkPicture(graphWidget_);
}

void TextRainfallWindow::resizeEvent(QResizeEvent* e) {
    const int w = e->size().width();
    const int h = std::max(1, e->size().height() - kStripHeight);
    view_.resizePicture(w, h);
    graphWidget_->setGeometry(0, 0, w, h);
    const int y = h + 8;
    cmbVisMode_->setGeometry(8, y, 89, 25);
    tglPrintASCII_->setGeometry(105, y, 161, 25);
    spnLength_->setGeometry(272, y, 17, 25);
    lblLength_->setGeometry(296, y, 25, 25);
    tglEther_->setGeometry(8, y + 32, 129, 25);
}

void TextRainfallWindow::nextMode() {
    cmbVisMode_->setCurrentIndex((cmbVisMode_->currentIndex() + 1) % cmbVisMode_->count());
}

void TextRainfallWindow::initVis() {
    const bool ascii = view_.settings().mode == 0;
    tglPrintASCII_->setVisible(ascii);
    lblLength_->setVisible(ascii);
    spnLength_->setVisible(ascii);
}

}  // namespace pelsid
