#include "control/PcapCaptureSource.h"

#include <chrono>

namespace pelsid {

namespace {
const CaptureAdapter kNoAdapter{};
}  // namespace

PcapCaptureSource::PcapCaptureSource(QObject* parent) : CaptureSource(parent) {}

PcapCaptureSource::~PcapCaptureSource() {
    stop();
}

void PcapCaptureSource::refresh() {
    adapters_ = listCaptureAdapters();
}

const CaptureAdapter& PcapCaptureSource::adapter(int i) const {
    return i >= 1 && i <= adapterCount() ? adapters_[std::size_t(i - 1)] : kNoAdapter;
}

CaptureProblem PcapCaptureSource::start() {
    stop();
    std::string name = selectedName_;
    if (name.empty()) name = adapter(selected_).name;
    if (name.empty()) return {CaptureProblem::Kind::Open, "no adapter is selected"};
    auto capture = std::make_unique<LiveCapture>();
    CaptureProblem problem = capture->open(name, filter());
    if (!problem.ok()) return problem;
    capture_ = std::move(capture);
    workerProblem_ = {};
    stopping_ = false;
    ++runs_;
    beginDelivery();
    worker_ = std::thread([this] { run(); });
    return problem;
}

void PcapCaptureSource::run() {
    auto handOverFrame = [](void* self, const std::uint8_t* data, int captured, int wire,
                            const CaptureTime& time) {
        static_cast<PcapCaptureSource*>(self)->handOver(data, captured, wire, time);
    };
    using Clock = std::chrono::steady_clock;
    auto nextStats = Clock::now();
    while (!stopping_) {
        if (capture_->dispatch(handOverFrame, this, 0, workerProblem_) < 0) {
            QMetaObject::invokeMethod(
                this, [this, run = runs_.load()] { finishWorker(run); }, Qt::QueuedConnection);
            return;
        }
        // pcap_stats belongs to the thread that reads the handle.
        if (Clock::now() >= nextStats) {
            setKernelDropped(capture_->kernelDropped());
            nextStats = Clock::now() + std::chrono::milliseconds(250);
        }
    }
    setKernelDropped(capture_->kernelDropped());
}

void PcapCaptureSource::finishWorker(int run) {
    if (!worker_.joinable() || run != runs_) return;
    const std::string adapterName = selectedName_.empty() ? adapter(selected_).name : selectedName_;
    const CaptureProblem problem = workerProblem_;
    stop();
    if (!problem.ok()) emit failed(QString::fromStdString(problem.message(adapterName, filter())));
}

void PcapCaptureSource::stop() {
    if (!worker_.joinable()) return;
    stopping_ = true;
    capture_->breakLoop();
    worker_.join();
    capture_.reset();
    endDelivery();
}

}  // namespace pelsid
