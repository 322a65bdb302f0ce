#include "shell/LoadJob.h"

#include <QFile>

namespace pelsid {

LoadJob::LoadJob(const QString& path, const ReadOptions& options, QObject* parent)
    : QObject(parent), path_(path) {
    ReadOptions mine = options;
    mine.cancel = &cancel_;
    mine.progress = &progress_;
    thread_ = std::thread([this, mine, file = QFile::encodeName(path).toStdString()] {
        result_ = readCaptureFile(file, mine);
        QMetaObject::invokeMethod(this, &LoadJob::finished, Qt::QueuedConnection);
    });
}

LoadJob::~LoadJob() {
    cancel_ = true;
    thread_.join();
}

}  // namespace pelsid
