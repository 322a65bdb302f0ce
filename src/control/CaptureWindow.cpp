#include "control/CaptureWindow.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>

#include "control/FixedWindowFlags.h"
#include "store/Dialogs.h"
#include "store/PacketBuffer.h"
#include "widgets/DarkGrey.h"

namespace pelsid {

namespace {
constexpr const char* kUnsupportedAdapter = "unsupported adapter";
constexpr const char* kNoAdapters = "No adapters found";
constexpr const char* kCaptureTitle = "Capture";
constexpr const char* kRecordTitle = "Record to file";

QString fileName(const std::string& path) {
    return QFileInfo(QString::fromStdString(path)).fileName();
}

QLabel* label(const char* name, const QString& text, const QRect& place, QWidget* parent) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(QString::fromLatin1(name));
    l->setGeometry(place);
    return l;
}
}  // namespace

CaptureWindow::CaptureWindow(CaptureSession& session, Dialogs& dialogs, QWidget* parent)
    : QWidget(parent, fixedWindowFlags()),
      session_(session),
      source_(session.source()),
      dialogs_(dialogs) {
    setObjectName(QStringLiteral("frmCapture"));
    setWindowTitle(QString::fromLatin1(kCaptureTitle));
    setFixedSize(316, 221);
    paintDarkGrey(this);

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
    btnRecord_ = new QPushButton(QStringLiteral("Record to file..."), this);
    btnRecord_->setObjectName(QStringLiteral("btnRecord"));
    btnRecord_->setCheckable(true);
    btnRecord_->setToolTip(
        QStringLiteral("Write every frame of the next capture to a pcap or pcapng file"));
    btnRecord_->setGeometry(8, 170, 113, 23);
    lblRecording_ = label("lblRecording", {}, {8, 198, 297, 17}, this);

    connect(btnStart_, &QPushButton::clicked, this, &CaptureWindow::startCapture);
    connect(btnStop_, &QPushButton::clicked, this, &CaptureWindow::stopCapture);
    connect(btnRecord_, &QPushButton::toggled, this, &CaptureWindow::chooseRecording);
    connect(&session_, &CaptureSession::capturingChanged, this, &CaptureWindow::setCapturing);
    connect(&session_, &CaptureSession::ended, this, &CaptureWindow::showRecording);
    tmrCounters_.setInterval(1000);
    connect(&tmrCounters_, &QTimer::timeout, this, &CaptureWindow::updateCounters);

    probeAdapters();
    updateCounters();
}

CaptureWindow::~CaptureWindow() {
    // The capture ends with its window, however the window goes.
    disconnect(&session_, nullptr, this, nullptr);
    session_.stop();
}

void CaptureWindow::probeAdapters() {
    cmbInterface_->clear();
    source_.refresh();
    const int count = source_.adapterCount();
    for (int i = 1; i <= count; ++i) {
        const CaptureAdapter& a = source_.adapter(i);
        cmbInterface_->addItem(a.usable ? QString::fromStdString(a.description)
                                        : QString::fromLatin1(kUnsupportedAdapter));
    }
    if (count > 0)
        cmbInterface_->setCurrentIndex(0);
    else
        cmbInterface_->setPlaceholderText(QString::fromLatin1(kNoAdapters));
    // Why there are none, when the capture helper could not say (not allowed to run it, say).
    cmbInterface_->setToolTip(QString::fromStdString(source_.adapterError()));
    btnStop_->setEnabled(false);
    // Nothing to capture on: "Start" would have no adapter to hand over.
    btnStart_->setEnabled(count > 0);
}

void CaptureWindow::startCapture() {
    if (cmbInterface_->count() == 0) return;
    session_.start(cmbInterface_->currentIndex() + 1, txtFilter_->text().trimmed().toStdString());
}

void CaptureWindow::stopCapture() {
    session_.stop();
}

void CaptureWindow::setCapturing(bool on) {
    btnStop_->setEnabled(on);
    btnStart_->setEnabled(!on && cmbInterface_->count() > 0);
    // A recording is chosen before its capture and ends with it.
    btnRecord_->setEnabled(!on);
    if (on)
        tmrCounters_.start();
    else
        tmrCounters_.stop();
    updateCounters();
}

void CaptureWindow::chooseRecording(bool on) {
    std::string path;
    if (on) {
        path = dialogs_.saveCaptureFileName(kRecordTitle, source_.recordingPath());
        if (!path.empty()) {
            if (const std::string error = source_.recordTo(path); !error.empty()) {
                dialogs_.message(Dialogs::Icon::Critical, kRecordTitle, error);
                path.clear();
            }
        }
    } else {
        source_.recordTo({});
    }
    const QSignalBlocker quiet(btnRecord_);
    btnRecord_->setChecked(!path.empty());
    setRecordingText(path.empty() ? QString()
                                  : QStringLiteral("Records to %1").arg(fileName(path)));
    lblRecording_->setToolTip(QString::fromStdString(path));
}

void CaptureWindow::showRecording() {
    const RecordingResult& r = source_.lastRecording();
    {
        const QSignalBlocker quiet(btnRecord_);
        btnRecord_->setChecked(false);
    }
    if (r.path.empty()) return;
    if (!r.ok()) {
        setRecordingText(QStringLiteral("Recording failed"));
        dialogs_.message(Dialogs::Icon::Critical, kRecordTitle,
                         r.error + "\n\nThe file keeps the frames written before the failure.");
        return;
    }
    setRecordingText(
        QStringLiteral("Recorded %1 frames to %2").arg(r.frames).arg(fileName(r.path)));
}

void CaptureWindow::setRecordingText(const QString& text) {
    // Long file names are cut in the middle rather than at the window's edge.
    lblRecording_->setText(
        lblRecording_->fontMetrics().elidedText(text, Qt::ElideMiddle, lblRecording_->width()));
}

void CaptureWindow::updateCounters() {
    const CaptureStats s = source_.stats();
    QString captured = QStringLiteral("Frames captured: %1").arg(s.captured);
    if (s.cut > 0)
        captured +=
            QStringLiteral(" (%1 cut to %2 bytes)").arg(s.cut).arg(PacketBuffer::kSlotBytes);
    lblCaptured_->setText(captured);
    lblDropped_->setText(QStringLiteral("Dropped by the kernel: %1, by the queue: %2")
                             .arg(s.kernelDropped)
                             .arg(s.queueDropped));
    if (source_.isCapturing() && !source_.recordingPath().empty())
        setRecordingText(QStringLiteral("Recording: %1 frames").arg(source_.recorded()));
}

void CaptureWindow::closeEvent(QCloseEvent* event) {
    session_.stop();
    QWidget::closeEvent(event);
}

}  // namespace pelsid
