#include "views/DetailWindow.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QSpinBox>
#include <algorithm>
#include <cmath>
#include <cstring>

#include "pipeline/GuiThread.h"
#include "pipeline/PacketSelection.h"
#include "raster/Color.h"
#include "views/DetailText.h"
#include "views/ViewGeometry.h"
#include "widgets/Named.h"
#include "widgets/SpinButton.h"

namespace pelsid {

namespace {
constexpr int kFrameMs = 33;  // the pictures' repaint rate

QPlainTextEdit* textBox(const char* name, QWidget* parent) {
    auto* box = named<QPlainTextEdit>(name, parent);
    box->setReadOnly(true);
    box->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    box->setWordWrapMode(QTextOption::WrapAnywhere);
    QFont font(QStringLiteral("Courier New"));
    font.setStyleHint(QFont::TypeWriter);
    font.setPointSizeF(8.25);
    box->setFont(font);
    QPalette pal = box->palette();
    pal.setColor(QPalette::Base, Qt::black);
    box->setPalette(pal);
    // The text colour follows every packet. The scroll bars keep a text colour
    // of their own, so they do not take a new palette each time: the style
    // caches their pictures by palette, and new palettes filled its cache.
    for (QScrollBar* bar : {box->verticalScrollBar(), box->horizontalScrollBar()}) {
        QPalette own = bar->palette();
        own.setColor(QPalette::Text, own.color(QPalette::Text));
        bar->setPalette(own);
    }
    return box;
}
}  // namespace

DetailWindow::DetailWindow(ViewContext& context, QWidget* parent)
    : DetailWindow(context, *new DetailRenderer(context.thumbnails), true, parent) {}

DetailWindow::DetailWindow(ViewContext& context, DetailRenderer& renderer, QWidget* parent)
    : DetailWindow(context, renderer, false, parent) {}

DetailWindow::DetailWindow(ViewContext& context, DetailRenderer& renderer, bool ownsRenderer,
                           QWidget* parent)
    : ViewWindow(context, renderer, ownsRenderer, QStringLiteral("frmVis7"),
                 QStringLiteral("detail view"), parent),
      txtASCII_(textBox("txtASCII", this)),
      txtHex_(textBox("txtHex", this)),
      lblFontSize_(named<QLabel>("lblFontSize", QStringLiteral("font size"), this)),
      spnFontSize_(named<SpinButton>("spnFontSize", this)),
      lblCurrentFontSize_(named<QLabel>("lblCurrentFontSize", QStringLiteral("8"), this)),
      lblPacketTime_(named<QLabel>("lblPacketTime", this)),
      lblSummary_(named<QLabel>("lblSummary", this)),
      view_(renderer) {
    // The hex dump breaks lines only at the blanks between bytes, never inside one.
    txtHex_->setWordWrapMode(QTextOption::WordWrap);
    spnFontSize_->setRange(8, 24);
    spnFontSize_->setValue(8);
    connect(spnFontSize_, &QSpinBox::valueChanged, this, &DetailWindow::setFontSize);

    frame_.setSingleShot(true);
    frame_.setInterval(kFrameMs);
    connect(&frame_, &QTimer::timeout, this, &DetailWindow::refreshText);

    setMinimumSize(kMinWindowWidth, kMinWindowHeight);
    resize(kDefaultWidth, kDefaultHeight);
    layoutControls();
    view_.changed = [this](bool played) { rendererChanged(played); };
}

DetailWindow::~DetailWindow() {
    view_.changed = nullptr;
}

void DetailWindow::rendererChanged(bool played) {
    if (!played) {
        frame_.stop();
        txtASCII_->clear();
        txtHex_->clear();
        lblPacketTime_->clear();
        lblSummary_->clear();
        return;
    }
    showSoon();
    if (!lblSummary_->text().isEmpty()) lblSummary_->clear();
}

void DetailWindow::showSelection(int packetNumber) {
    const std::unique_ptr<HeldPacket> held =
        context_.selection ? context_.selection->lookUp(packetNumber) : nullptr;
    if (!held) return;  // nothing selected: the packet shown stays
    view_.keep(held->packet);
    showSoon();
    lblSummary_->setText(QStringLiteral("packet %1: %2")
                             .arg(packetNumber)
                             .arg(QString::fromStdString(held->summary)));
}

void DetailWindow::showSoon() {
    PELSID_ASSERT_GUI_THREAD();  // starts a timer
    if (!frame_.isActive()) frame_.start();
}

void DetailWindow::refreshText() {
    if (!view_.takeKept()) return;
    frame_.stop();
    shownColour_ = view_.colour();
    for (QPlainTextEdit* box : {txtASCII_, txtHex_}) {
        QPalette pal = box->palette();
        pal.setColor(QPalette::Text, QColor::fromRgb(toQRgb(shownColour_)));
        box->setPalette(pal);
    }
    const auto bytes = view_.bytes();
    txtASCII_->setPlainText(detailCharacters(bytes.data(), int(bytes.size())));
    txtHex_->setPlainText(detailHex(bytes.data(), int(bytes.size())));
    const QString time = detailTime(view_.time());
    lblPacketTime_->setText(
        view_.fileFrame() == 0 ? time : time + QStringLiteral(", frame %1").arg(view_.fileFrame()));
}

void DetailWindow::setFontSize(int points) {
    lblCurrentFontSize_->setText(QString::number(points));
    for (QPlainTextEdit* box : {txtASCII_, txtHex_}) {
        QFont font = box->font();
        font.setPointSize(points);
        box->setFont(font);
    }
}

void DetailWindow::showEvent(QShowEvent* event) {
    ViewWindow::showEvent(event);
    refreshText();
}

void DetailWindow::resizeEvent(QResizeEvent* event) {
    ViewWindow::resizeEvent(event);
    layoutControls();
}

void DetailWindow::layoutControls() {
    // Each box half the window less 500 twips; the size controls below.
    const int w = width();
    const int boxHeight = std::max(1, int(std::nearbyint(height() / 2.0 - 500.0 / 15.0)));
    txtASCII_->setGeometry(0, 0, w, boxHeight);
    txtHex_->setGeometry(0, boxHeight, w, boxHeight);
    const int y = 2 * boxHeight + 6;
    lblFontSize_->setGeometry(8, y, 60, 22);
    spnFontSize_->setGeometry(70, y, 17, 22);
    lblCurrentFontSize_->setGeometry(94, y, 30, 22);
    lblPacketTime_->setGeometry(130, y, std::max(1, w - 138), 22);
    // A selected packet's summary: a line of its own below, in the room the boxes leave.
    lblSummary_->setGeometry(8, y + 24, std::max(1, w - 16), 22);
}

}  // namespace pelsid
