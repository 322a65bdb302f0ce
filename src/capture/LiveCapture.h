#pragma once
#include <cstdint>
#include <string>

#include "store/CaptureTime.h"

typedef struct pcap pcap_t;

namespace pelsid {

/// Why a capture could not start or went on no longer.
struct CaptureProblem {
    enum class Kind { None, Permission, Open, Framing, Filter, Failed };
    Kind kind = Kind::None;
    std::string reason;  // libpcap's own words

    bool ok() const { return kind == Kind::None; }
    /// The message for the user, naming the adapter (and the filter for a bad
    /// one), with a hint on how to get the right to capture.
    std::string message(const std::string& adapter, const std::string& filter) const;
};

/// One libpcap handle capturing live on an adapter with Ethernet framing,
/// cutting frames to a packet slot. Not thread-safe except breakLoop().
class LiveCapture {
  public:
    /// Called per frame: the captured bytes (at most the slot size), the
    /// frame's length on the wire and when it was captured.
    using FrameHandler = void (*)(void* context, const std::uint8_t* data, int captured,
                                  int wireLength, const CaptureTime& time);

    LiveCapture() = default;
    ~LiveCapture();
    LiveCapture(const LiveCapture&) = delete;
    LiveCapture& operator=(const LiveCapture&) = delete;

    /// Opens `adapter` and installs `filter` (BPF syntax; empty for none).
    CaptureProblem open(const std::string& adapter, const std::string& filter);
    bool isOpen() const { return handle_ != nullptr; }

    /// Waits for frames (at most about 50 ms) and hands up to `maxFrames` of
    /// them (all waiting when <= 0) to `handler`. Returns the number handed
    /// over, 0 on a timeout or after breakLoop(), -1 when the capture failed
    /// (the reason in `problem`).
    int dispatch(FrameHandler handler, void* context, int maxFrames, CaptureProblem& problem);
    /// Any thread: makes the current or next dispatch() return at once.
    void breakLoop();
    /// Frames the kernel dropped since open (ring full or interface drops).
    std::uint64_t kernelDropped();

    /// True when `adapter` can be opened with Ethernet framing now.
    static bool canCapture(const std::string& adapter);

  private:
    pcap_t* handle_ = nullptr;
    std::uint8_t decimals_ = 6;  // the times' resolution: 9 when the adapter gives nanoseconds
};

}  // namespace pelsid
