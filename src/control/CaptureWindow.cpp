#include "control/CaptureWindow.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "control/FixedWindowFlags.h"
#include "store/Dialogs.h"
#include "store/PacketBuffer.h"

namespace pelsid {

namespace {
constexpr const char* kUnsupportedAdapter = "unsupported adapter";
constexpr const char* kNoAdapters = "No adapters found";
constexpr const char* kCaptureTitle = "Capture";

QLabel* label(const char* name, const QString& text, const QRect& place, QWidget* parent) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(QString::fromLatin1(name));
    l->setGeometry(place);
    return l;
}
}  // namespace

CaptureWindow::CaptureWindow(std::unique_ptr<CaptureSource> source, PacketBuffer& buffer,
                             Pipeline& pipeline, Dialogs& dialogs, QWidget* parent)
    : QWidget(parent, fixedWindowFlags()),
      source_(std::move(source)),
      ingest_(buffer, pipeline, dialogs),
      dialogs_(dialogs) {
    setObjectName(QStringLiteral("frmCapture"));
    setWindowTitle(QString::fromLatin1(kCaptureTitle));
    setFixedSize(316, 171);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(64, 64, 64));
    pal.setColor(QPalette::WindowText, Qt::white);
    setPalette(pal);
    setAutoFillBackground(true);

    label("lblInterface", QStringLiteral("Current Network Interface"), {8, 8, 193, 17}, this);
    cmbInterface_ = new QComboBox(this);
    cmbInterface_->setObjectName(QStringLiteral("cmbInterface"));
    cmbInterface_->setGeometry(8, 24, 297, 21);
    label("lblFilter", QStringLiteral("Capture Filter"), {8, 56, 145, 17}, this);
    txtFilter_ = new QLineEdit(this);
    txtFilter_->setObjectName(QStringLiteral("txtFilter"));
    txtFilter_->setGeometry(8, 72, 145, 21);
    txtFilter_->setToolTip(QStringLiteral("tcpdump filter syntax, e.g. \"udp port 53\""));
    btnStart_ = new QPushButton(QStringLiteral("Start"), this);
    btnStart_->setObjectName(QStringLiteral("btnStart"));
    btnStart_->setGeometry(160, 56, 65, 49);
    btnStop_ = new QPushButton(QStringLiteral("Stop"), this);
    btnStop_->setObjectName(QStringLiteral("btnStop"));
    btnStop_->setGeometry(240, 56, 65, 49);
    lblCaptured_ = label("lblCaptured", {}, {8, 116, 297, 17}, this);
    lblDropped_ = label("lblDropped", {}, {8, 136, 297, 30}, this);
    lblDropped_->setWordWrap(true);

    connect(btnStart_, &QPushButton::clicked, this, &CaptureWindow::StartCapture);
    connect(btnStop_, &QPushButton::clicked, this, &CaptureWindow::StopCapture);
    connect(source_.get(), &CaptureSource::packetArrived, this, &CaptureWindow::packetArrived);
    connect(source_.get(), &CaptureSource::failed, this, [this](const QString& message) {
        setCapturing(false);
        dialogs_.message(Dialogs::Icon::Critical, kCaptureTitle, message.toStdString());
    });
    tmrCounters_.setInterval(1000);
    connect(&tmrCounters_, &QTimer::timeout, this, &CaptureWindow::updateCounters);

    ProbeAdapters();
    updateCounters();
}

CaptureWindow::~CaptureWindow() {
    source_->stop();
}

void CaptureWindow::ProbeAdapters() {
    cmbInterface_->clear();
    source_->refresh();
    const int count = source_->adapterCount();
    for (int i = 1; i <= count; ++i) {
        const CaptureAdapter& a = source_->adapter(i);
        cmbInterface_->addItem(a.usable ? QString::fromStdString(a.description)
                                        : QString::fromLatin1(kUnsupportedAdapter));
    }
    if (count > 0)
        cmbInterface_->setCurrentIndex(0);
    else
        cmbInterface_->setPlaceholderText(QString::fromLatin1(kNoAdapters));
    btnStop_->setEnabled(false);
    // Nothing to capture on: "Start" would have no adapter to hand over.
    btnStart_->setEnabled(count > 0);
}

void CaptureWindow::StartCapture() {
    if (cmbInterface_->count() == 0 || source_->isCapturing()) return;
    const int line = cmbInterface_->currentIndex();
    source_->select(line + 1);
    source_->setFilter(txtFilter_->text().trimmed().toStdString());
    const CaptureProblem problem = source_->start();
    if (!problem.ok()) {
        const CaptureAdapter& a = source_->adapter(line + 1);
        dialogs_.message(Dialogs::Icon::Critical, kCaptureTitle,
                         problem.message(a.name, source_->filter()));
        return;
    }
    stored_ = 0;
    setCapturing(true);
    // Frames keep arriving while the question is open; a Yes discards them too.
    ingest_.begin();
}

void CaptureWindow::StopCapture() {
    source_->stop();
    setCapturing(false);
}

void CaptureWindow::setCapturing(bool on) {
    btnStop_->setEnabled(on);
    btnStart_->setEnabled(!on && cmbInterface_->count() > 0);
    if (on)
        tmrCounters_.start();
    else
        tmrCounters_.stop();
    updateCounters();
}

void CaptureWindow::packetArrived(const std::uint8_t* data, int size) {
    ++stored_;
    ingest_.frame(data, size);
}

void CaptureWindow::updateCounters() {
    const CaptureStats s = source_->stats();
    QString captured = QStringLiteral("Frames captured: %1").arg(s.captured);
    if (s.cut > 0)
        captured +=
            QStringLiteral(" (%1 cut to %2 bytes)").arg(s.cut).arg(PacketBuffer::kSlotBytes);
    lblCaptured_->setText(captured);
    lblDropped_->setText(QStringLiteral("Dropped by the kernel: %1, by the queue: %2")
                             .arg(s.kernelDropped)
                             .arg(s.queueDropped));
}

void CaptureWindow::closeEvent(QCloseEvent* event) {
    StopCapture();
    QWidget::closeEvent(event);
}

}  // namespace pelsid
