#pragma once
#include <atomic>
#include <memory>
#include <thread>
#include <vector>

#include "capture/CaptureHelper.h"
#include "control/CaptureSource.h"

namespace pelsid {

/// Live capture through the capture helper: the adapters it lists, and per
/// capture a helper process whose stream a worker thread reads and hands over
/// in batches.
class PcapCaptureSource : public CaptureSource {
    Q_OBJECT
  public:
    explicit PcapCaptureSource(QObject* parent = nullptr);
    /// Stops a running capture: neither the worker nor the helper outlives its source.
    ~PcapCaptureSource() override;

    void refresh() override;
    int adapterCount() const override { return int(adapters_.size()); }
    const CaptureAdapter& adapter(int i) const override;
    void select(int i) override { selected_ = i; }
    CaptureProblem start() override;
    void stop() override;
    bool isCapturing() const override { return worker_.joinable(); }
    /// The capture helper's words when it could not list the adapters.
    std::string adapterError() const override { return listError_; }

    /// Captures on a named adapter, listed or not (the command line and benchmarks).
    void selectByName(const std::string& name) { selectedName_ = name; }

  private:
    void run();
    void finishWorker(int run);

    std::vector<CaptureAdapter> adapters_;
    std::string listError_;
    int selected_ = 0;
    std::string selectedName_;
    std::unique_ptr<CaptureHelper> helper_;
    std::thread worker_;
    std::atomic<int> runs_{0};  // tells a late failure report from an earlier capture
    CaptureProblem workerProblem_;
};

}  // namespace pelsid
