#pragma once
#include <vector>

#include "control/CaptureSource.h"

namespace pelsid::test {

/// A capture source whose adapters, start results and frames come from the
/// test. Frames go through the same bounded hand-over queue as live ones.
class ScriptedCaptureSource : public CaptureSource {
  public:
    std::vector<CaptureAdapter> adapters;
    CaptureProblem startResult;  // what the next start() answers
    int refreshes = 0;
    int selected = 0;
    std::vector<int> startedOn;  // adapter of every successful start
    int stops = 0;               // stop() calls while capturing
    int* stopsSeen = nullptr;    // counted there too, also once the source has gone
    bool capturing = false;

    void refresh() override { ++refreshes; }
    int adapterCount() const override { return int(adapters.size()); }
    const CaptureAdapter& adapter(int i) const override { return adapters.at(std::size_t(i - 1)); }
    void select(int i) override { selected = i; }
    CaptureProblem start() override {
        if (!startResult.ok()) return startResult;
        capturing = true;
        startedOn.push_back(selected);
        beginDelivery();
        return {};
    }
    void stop() override {
        if (!capturing) return;
        capturing = false;
        ++stops;
        if (stopsSeen) ++*stopsSeen;
        endDelivery();
    }
    bool isCapturing() const override { return capturing; }

    /// A frame as the capturing thread would hand it over (any thread): the
    /// first `captured` bytes (all when negative) of `bytes`.
    void frame(const std::vector<std::uint8_t>& bytes, int wireLength = -1,
               const CaptureTime& time = {}, int captured = -1) {
        if (captured < 0) captured = int(bytes.size());
        handOver(bytes.data(), captured, wireLength < 0 ? captured : wireLength, time);
    }
    void kernelDrops(std::uint64_t n) { setKernelDropped(n); }
};

}  // namespace pelsid::test
