#include "shell/SmallWindows.h"

#include "control/FixedWindowFlags.h"

#include <QLabel>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <cmath>

namespace pelsid {

void paintDarkGrey(QWidget* w) {
    QPalette pal = w->palette();
    pal.setColor(QPalette::Window, QColor(64, 64, 64));
    pal.setColor(QPalette::WindowText, Qt::white);
    w->setPalette(pal);
    w->setAutoFillBackground(true);
}

LoggingWindow::LoggingWindow(QWidget* parent) : QWidget(parent, fixedWindowFlags()) {
    setObjectName(QStringLiteral("frmLogging"));
    setWindowTitle(QStringLiteral("Logging"));
    setFixedSize(312, 213);
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("btnLoggingOK"));
    ok->setGeometry(232, 152, 65, 49);
    connect(ok, &QPushButton::clicked, this, &LoggingWindow::okClicked);
}

namespace {
// A little parallel-coordinates emblem for the About window.
QPixmap emblem() {
    QPixmap pm(96, 96);
    pm.fill(Qt::black);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor colours[] = {QColor(0, 255, 0), QColor(255, 128, 0), QColor(0, 0, 255),
                              QColor(255, 255, 128)};
    p.setPen(QColor(128, 128, 128));
    for (int x : {8, 48, 88}) p.drawLine(x, 6, x, 90);
    for (int i = 0; i < 12; ++i) {
        p.setPen(colours[i % 4]);
        const int a = 10 + (i * 37) % 76, b = 10 + (i * 53) % 76, c = 10 + (i * 29) % 76;
        p.drawLine(8, a, 48, b);
        p.drawLine(48, b, 88, c);
    }
    return pm;
}
}  // namespace

AboutWindow::AboutWindow(QWidget* parent) : QWidget(parent, fixedWindowFlags()) {
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("about pelsid"));
    setFixedSize(312, 128);
    paintDarkGrey(this);
    auto* pic = new QLabel(this);
    pic->setPixmap(emblem());
    pic->setGeometry(16, 16, 96, 96);
    QFont verdana(QStringLiteral("Verdana"));
    verdana.setPointSize(10);
    auto* name = new QLabel(QStringLiteral("pelsid network visualization"), this);
    name->setFont(verdana);
    name->setGeometry(128, 40, 180, 20);
    auto* version = new QLabel(QStringLiteral("version 1.86"), this);
    version->setFont(verdana);
    version->setGeometry(128, 68, 180, 20);
}

LoadDatasetWindow::LoadDatasetWindow(QWidget* parent) : QWidget(parent, fixedWindowFlags()) {
    setObjectName(QStringLiteral("frmLoadDataset"));
    setWindowTitle(QStringLiteral("Load Dataset"));
    setFixedSize(360, 132);
    auto label = [this](const QString& text, const QString& name, int x, int y, int w) {
        auto* l = new QLabel(text, this);
        if (!name.isEmpty()) l->setObjectName(name);
        l->setGeometry(x, y, w, 18);
        return l;
    };
    const QString insert = QStringLiteral("Insert Status Here");
    label(QStringLiteral("File:"), {}, 8, 8, 110);
    label(insert, QStringLiteral("lblFileVariable"), 120, 8, 232);
    label(QStringLiteral("File Size:"), {}, 8, 28, 110);
    label(insert, QStringLiteral("lblFileSizeVariable"), 120, 28, 232);
    label(QStringLiteral("File Load Status:"), {}, 8, 48, 110);
    label(insert, QStringLiteral("lblFileLoadStatusVariable"), 120, 48, 232);
    label(QStringLiteral("Packet Processing Progress"), {}, 8, 76, 344);
    auto* bar = new QProgressBar(this);
    bar->setObjectName(QStringLiteral("pbProcessing"));
    bar->setGeometry(8, 98, 344, 22);
    bar->setRange(0, 1);
    bar->setValue(0);
}

namespace {
// The bar takes int; file sizes may not fit, so both ends are scaled alike.
int barUnits(qint64 v) {
    return v > (1 << 30) ? int(v >> 10) : int(v);
}
}  // namespace

void LoadDatasetWindow::setFile(const QString& name) {
    findChild<QLabel*>(QStringLiteral("lblFileVariable"))->setText(name);
}
void LoadDatasetWindow::setFileSize(qint64 bytes) {
    findChild<QLabel*>(QStringLiteral("lblFileSizeVariable"))->setText(QString::number(bytes));
}
void LoadDatasetWindow::setStatus(const QString& status) {
    findChild<QLabel*>(QStringLiteral("lblFileLoadStatusVariable"))->setText(status);
}
void LoadDatasetWindow::setRange(qint64 maximum) {
    auto* bar = findChild<QProgressBar*>(QStringLiteral("pbProcessing"));
    bar->setProperty("scaled", maximum > (1 << 30));
    bar->setRange(0, std::max(1, barUnits(maximum)));
}
void LoadDatasetWindow::setProgress(qint64 value) {
    auto* bar = findChild<QProgressBar*>(QStringLiteral("pbProcessing"));
    bar->setValue(bar->property("scaled").toBool() ? int(value >> 10) : int(value));
    bar->resetFormat();
}
void LoadDatasetWindow::setReadProgress(qint64 bytesRead, int records, int recordLimit) {
    auto* bar = findChild<QProgressBar*>(QStringLiteral("pbProcessing"));
    if (recordLimit > 0) {
        // A stream has no size: its bar counts records towards the limit,
        // and its size is what has come so far.
        bar->setProperty("scaled", false);
        bar->setRange(0, recordLimit);
        bar->setValue(records);
        setFileSize(bytesRead);
    } else {
        const qint64 end = bar->property("scaled").toBool() ? qint64(bar->maximum()) << 10
                                                            : qint64(bar->maximum());
        setProgress(std::min(bytesRead, end));
    }
    bar->setFormat(QStringLiteral("%1 bytes read, %2 records").arg(bytesRead).arg(records));
}

}  // namespace pelsid
