#include "control/PcapCaptureSource.h"

#include <climits>

namespace pelsid {

namespace {
const CaptureAdapter kNoAdapter{};
}  // namespace

PcapCaptureSource::PcapCaptureSource(QObject* parent) : CaptureSource(parent) {}

PcapCaptureSource::~PcapCaptureSource() {
    stop();
}

void PcapCaptureSource::refresh() {
    listError_.clear();
    adapters_ = CaptureHelper::listAdapters(&listError_);
}

const CaptureAdapter& PcapCaptureSource::adapter(int i) const {
    return i >= 1 && i <= adapterCount() ? adapters_[std::size_t(i - 1)] : kNoAdapter;
}

CaptureProblem PcapCaptureSource::start() {
    stop();
    std::string name = selectedName_;
    if (name.empty()) name = adapter(selected_).name;
    if (name.empty()) return {CaptureProblem::Kind::Open, "no adapter is selected"};
    auto helper = std::make_unique<CaptureHelper>();
    CaptureProblem problem = helper->start(name, filter());
    if (!problem.ok()) return problem;
    helper_ = std::move(helper);
    workerProblem_ = {};
    ++runs_;
    beginDelivery();
    worker_ = std::thread([this] { run(); });
    return problem;
}

void PcapCaptureSource::run() {
    auto frame = [](void* self, std::span<const std::uint8_t> bytes, std::uint32_t wire,
                    const CaptureTime& time) {
        static_cast<PcapCaptureSource*>(self)->handOver(
            bytes.data(), int(bytes.size()), int(std::min<std::uint32_t>(wire, INT_MAX)), time);
    };
    // The helper's counts come about four times a second, also without traffic.
    auto counts = [](void* self, const CaptureCounts& c) {
        auto* source = static_cast<PcapCaptureSource*>(self);
        source->setKernelDropped(c.systemDropped + c.interfaceDropped);
        source->keepRecordingFresh();
    };
    workerProblem_ = helper_->read(frame, counts, this);
    if (!workerProblem_.ok())
        QMetaObject::invokeMethod(
            this, [this, run = runs_.load()] { finishWorker(run); }, Qt::QueuedConnection);
}

void PcapCaptureSource::finishWorker(int run) {
    if (!worker_.joinable() || run != runs_) return;
    const std::string adapterName = selectedName_.empty() ? adapter(selected_).name : selectedName_;
    worker_.join();
    const CaptureProblem problem = workerProblem_;
    // The frames that came before the helper ended are kept.
    deliver();
    helper_.reset();
    endDelivery();
    emit failed(QString::fromStdString(problem.message(adapterName, filter())));
}

void PcapCaptureSource::stop() {
    if (!worker_.joinable()) return;
    helper_->cancel();
    worker_.join();
    helper_.reset();
    endDelivery();
}

}  // namespace pelsid
