#include "shell/LoadDatasetWindow.h"

#include <QLabel>
#include <QProgressBar>
#include <algorithm>

#include "control/FixedWindowFlags.h"

namespace pelsid {

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
