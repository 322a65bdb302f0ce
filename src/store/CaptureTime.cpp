#include "store/CaptureTime.h"

#include <algorithm>
#include <cstdio>

namespace pelsid {

std::string epochText(const CaptureTime& time) {
    if (!time.known) return {};
    // Seconds are the floor of the time: a time before the epoch shows as its
    // negative magnitude, so -5 s + 0.25 s reads "-4.75".
    std::int64_t seconds = time.seconds;
    std::uint32_t nanos = time.nanoseconds;
    const bool negative = seconds < 0;
    if (negative && nanos > 0) {
        seconds += 1;
        nanos = 1000000000u - nanos;
    }
    const unsigned long long magnitude = negative ? 0ull - static_cast<unsigned long long>(seconds)
                                                  : static_cast<unsigned long long>(seconds);
    const int decimals = std::min<int>(time.decimals, 9);
    char fraction[16];
    std::snprintf(fraction, sizeof fraction, ".%09u", nanos);
    fraction[decimals > 0 ? decimals + 1 : 0] = '\0';
    char text[48];
    std::snprintf(text, sizeof text, "%s%llu%s", negative ? "-" : "", magnitude, fraction);
    return text;
}

std::int64_t nanosecondsBetween(const CaptureTime& earlier, const CaptureTime& later) {
    // Wrapping arithmetic: times decades apart still give a difference, never a trap.
    const std::uint64_t seconds = std::uint64_t(later.seconds) - std::uint64_t(earlier.seconds);
    return std::int64_t(seconds * 1000000000u + later.nanoseconds - earlier.nanoseconds);
}

}  // namespace pelsid
