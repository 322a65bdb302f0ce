#include "shell/ExportJob.h"

namespace pelsid {

ExportJob::ExportJob(std::string path, FrameBatch packets, QObject* parent)
    : QObject(parent), path_(std::move(path)), packets_(std::move(packets)) {
    thread_ = std::thread([this] {
        error_ = writePackets(path_, packets_);
        QMetaObject::invokeMethod(this, &ExportJob::finished, Qt::QueuedConnection);
    });
}

ExportJob::~ExportJob() {
    thread_.join();
}

}  // namespace pelsid
