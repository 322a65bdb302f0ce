#pragma once
#include <atomic>
#include <memory>
#include <thread>
#include <vector>

#include "control/CaptureSource.h"

namespace pelsid {

/// Live capture through libpcap: the adapters libpcap reports, and a worker
/// thread per capture that reads frames and hands them over in batches.
class PcapCaptureSource : public CaptureSource {
    Q_OBJECT
  public:
    explicit PcapCaptureSource(QObject* parent = nullptr);
    /// Stops a running capture: the worker never outlives its source.
    ~PcapCaptureSource() override;

    void refresh() override;
    int adapterCount() const override { return int(adapters_.size()); }
    const CaptureAdapter& adapter(int i) const override;
    void select(int i) override { selected_ = i; }
    CaptureProblem start() override;
    void stop() override;
    bool isCapturing() const override { return worker_.joinable(); }

    /// Captures on a named adapter, listed or not (the command line and benchmarks).
    void selectByName(const std::string& name) { selectedName_ = name; }

  private:
    void run();
    void finishWorker(int run);

    std::vector<CaptureAdapter> adapters_;
    int selected_ = 0;
    std::string selectedName_;
    std::unique_ptr<LiveCapture> capture_;
    std::thread worker_;
    std::atomic<bool> stopping_{false};
    std::atomic<int> runs_{0};  // tells a late failure report from an earlier capture
    CaptureProblem workerProblem_;
};

}  // namespace pelsid
