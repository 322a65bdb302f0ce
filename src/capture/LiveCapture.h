#pragma once
#include <cstdint>
#include <string>

#include "store/CaptureTime.h"

typedef struct pcap pcap_t;

namespace pelsid {

/// Why a capture could not start or went on no longer.
struct CaptureProblem {
    enum class Kind { None, Permission, Open, Framing, Filter, Failed, Helper };
    Kind kind = Kind::None;
    std::string reason;  // libpcap's own words; for Helper, the capture helper's whole message

    bool ok() const { return kind == Kind::None; }
    /// The message for the user, naming the adapter (and the filter for a bad
    /// one); one line, but for Permission, which tells how to get the right.
    std::string message(const std::string& adapter, const std::string& filter) const;
};

/// What libpcap counted of a capture since it was opened.
struct CaptureCounts {
    std::uint64_t received = 0;          // frames the filter saw
    std::uint64_t systemDropped = 0;     // dropped because the kernel's buffer was full
    std::uint64_t interfaceDropped = 0;  // dropped by the adapter or its driver
};

/// How to get the right to capture: through the capture helper, never pelsid.
std::string capturePermissionHint();

/// One libpcap handle capturing live on an adapter with Ethernet framing,
/// cutting frames to a snapshot length. Not thread-safe except breakLoop().
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
    CaptureProblem open(const std::string& adapter, const std::string& filter,
                        int snapshotLength = kSlotBytes, bool promiscuous = true);
    /// True when the adapter gives nanosecond times (after open).
    bool nanoseconds() const { return decimals_ == 9; }

    /// Waits at most `ms` for frames to read (false when none came, or a
    /// signal came first).
    bool waitForFrames(int ms);
    /// Hands up to `maxFrames` of the frames waiting (all when <= 0) to
    /// `handler`, without waiting for more. Returns the number handed over,
    /// 0 for none or after breakLoop(), -1 when the capture failed (the
    /// reason in `problem`).
    int dispatch(FrameHandler handler, void* context, int maxFrames, CaptureProblem& problem);
    /// Any thread: makes the current or next dispatch() return at once.
    void breakLoop();
    /// Frames the kernel dropped since open (ring full or interface drops).
    std::uint64_t kernelDropped();
    CaptureCounts counts();

    /// True when `adapter` can be opened with Ethernet framing now.
    static bool canCapture(const std::string& adapter);

    /// A packet slot: what pelsid keeps of a frame.
    static constexpr int kSlotBytes = 1601;

  private:
    pcap_t* handle_ = nullptr;
    std::uint8_t decimals_ = 6;  // the times' resolution: 9 when the adapter gives nanoseconds
};

}  // namespace pelsid
