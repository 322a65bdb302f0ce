#include "control/CaptureSession.h"

#include "store/Dialogs.h"

namespace pelsid {

namespace {
constexpr const char* kCaptureTitle = "Capture";
}  // namespace

CaptureSession::CaptureSession(std::unique_ptr<CaptureSource> source, PacketBuffer& buffer,
                               Pipeline& pipeline, Dialogs& dialogs, QObject* parent)
    : QObject(parent),
      source_(std::move(source)),
      ingest_(buffer, pipeline, dialogs),
      dialogs_(dialogs) {
    connect(source_.get(), &CaptureSource::framesArrived, this, &CaptureSession::framesArrived);
    connect(source_.get(), &CaptureSource::failed, this, [this](const QString& message) {
        emit capturingChanged(false);
        dialogs_.message(Dialogs::Icon::Critical, kCaptureTitle, message.toStdString());
        emit ended();
    });
}

CaptureSession::~CaptureSession() {
    source_->stop();
}

bool CaptureSession::start(int adapter, const std::string& filter) {
    if (source_->isCapturing()) return false;
    source_->select(adapter);
    source_->setFilter(filter);
    const CaptureProblem problem = source_->start();
    if (!problem.ok()) {
        dialogs_.message(Dialogs::Icon::Critical, kCaptureTitle,
                         problem.message(source_->adapter(adapter).name, source_->filter()));
        return false;
    }
    stored_ = 0;
    emit capturingChanged(true);
    // Frames keep arriving while the question is open; a Yes discards them too.
    ingest_.begin();
    return true;
}

void CaptureSession::stop() {
    const bool was = source_->isCapturing();
    source_->stop();
    emit capturingChanged(false);
    if (was) emit ended();
}

void CaptureSession::framesArrived(const FrameBatch& frames) {
    stored_ += std::uint64_t(frames.size());
    ingest_.frames(frames);
}

}  // namespace pelsid
