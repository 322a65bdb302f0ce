#pragma once
#include <cstdint>
#include <string>

namespace pelsid {

/// When a frame was captured: seconds and nanoseconds since the epoch, or
/// unknown (dataset files carry no times). `decimals` is the resolution the
/// source gave it in (6 for microseconds, 9 for nanoseconds), so a time is
/// shown and written back as precisely as it came, never more.
struct CaptureTime {
    std::int64_t seconds = 0;
    std::uint32_t nanoseconds = 0;
    std::uint8_t decimals = 9;
    bool known = false;

    friend bool operator==(const CaptureTime&, const CaptureTime&) = default;
};

/// Seconds since the epoch with the time's own decimals, as
/// "1765200001.123456"; empty when the time is unknown.
std::string epochText(const CaptureTime& time);

/// `later` - `earlier` in nanoseconds (negative when `later` is earlier).
std::int64_t nanosecondsBetween(const CaptureTime& earlier, const CaptureTime& later);

}  // namespace pelsid
