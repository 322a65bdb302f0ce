#pragma once
#include <sys/types.h>

#include <atomic>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "capture/CaptureAdapter.h"
#include "capture/LiveCapture.h"

namespace pelsid {

/// Live capture through the helper program pelsid-capture, which alone holds
/// the capture privileges: it is started for each capture (and to list the
/// adapters) and its pcapng stream is read as it comes. pelsid itself never
/// opens an adapter.
class CaptureHelper {
  public:
    /// Called per frame on the reading thread: the bytes kept (at most a
    /// packet slot), the length on the wire and the capture time.
    using FrameHandler = void (*)(void* context, std::span<const std::uint8_t> frame,
                                  std::uint32_t wireLength, const CaptureTime& time);
    /// Called with the helper's counts, about four times a second.
    using CountsHandler = void (*)(void* context, const CaptureCounts& counts);

    CaptureHelper() = default;
    /// Ends a running helper and waits for it.
    ~CaptureHelper();
    CaptureHelper(const CaptureHelper&) = delete;
    CaptureHelper& operator=(const CaptureHelper&) = delete;

    /// pelsid-capture beside the running program.
    static std::string programPath();
    /// The adapters as the helper lists them; `error` gets why there are none.
    static std::vector<CaptureAdapter> listAdapters(std::string* error = nullptr);

    /// Starts the helper on `adapter` and waits until it captures or gives up;
    /// then the problem is the helper's own message (or its exit status).
    CaptureProblem start(const std::string& adapter, const std::string& filter);
    /// After a successful start(): reads the stream until stop() or the helper's end. Returns no
    /// problem after stop(); else why the helper ended. Every frame received before is handed over.
    CaptureProblem read(FrameHandler frames, CountsHandler counts, void* context);
    /// Any thread, also a signal handler: ends the capture. The helper hands
    /// over the frames it still holds, then read() returns.
    void stop();
    /// Any thread: ends the capture now; read() returns within 50 ms.
    void cancel();
    bool isRunning() const { return pid_ > 0; }
    /// The last counts the helper sent.
    CaptureCounts counts() const;

  private:
    CaptureProblem ended(const std::string& adapter);
    void reap(int& status);
    std::string errorText();

    std::atomic<pid_t> pid_{-1};
    std::atomic<bool> stopping_{false};
    std::atomic<bool> cancelled_{false};
    int out_ = -1, err_ = -1;
    std::string adapter_;
    std::atomic<std::uint64_t> received_{0}, systemDropped_{0}, interfaceDropped_{0};
};

}  // namespace pelsid
