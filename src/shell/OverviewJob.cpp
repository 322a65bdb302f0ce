#include "shell/OverviewJob.h"

#include <QFile>

namespace pelsid {

OverviewJob::OverviewJob(const QString& path, const ReadOptions& options, QObject* parent)
    : QObject(parent), path_(path) {
    ReadOptions mine = options;
    mine.cancel = &cancel_;
    mine.progress = &progress_;
    thread_ = std::thread([this, mine, file = QFile::encodeName(path).toStdString()] {
        scanOverviewInto(scan_, file, mine, &guard_);
        QMetaObject::invokeMethod(this, &OverviewJob::finished, Qt::QueuedConnection);
    });
}

OverviewJob::~OverviewJob() {
    cancel_ = true;
    thread_.join();
}

Overview OverviewJob::snapshot() {
    const std::lock_guard<std::mutex> hold(guard_);
    return scan_.overview;
}

}  // namespace pelsid
