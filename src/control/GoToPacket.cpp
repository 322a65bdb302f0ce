#include "control/GoToPacket.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>

#include "store/Overview.h"
#include "store/PacketBuffer.h"

namespace pelsid {

namespace {
constexpr std::int64_t kSecondNs = 1'000'000'000;
constexpr std::int64_t kDayNs = 86'400 * kSecondNs;

std::string trimmed(const std::string& s) {
    std::size_t a = 0, b = s.size();
    while (a < b && std::isspace(static_cast<unsigned char>(s[a]))) ++a;
    while (b > a && std::isspace(static_cast<unsigned char>(s[b - 1]))) --b;
    return s.substr(a, b - a);
}

// Seconds (with a fraction) as nanoseconds; false unless all of `s` is a number >= 0.
bool parseSeconds(const std::string& s, std::int64_t& ns) {
    if (s.empty() || !std::isdigit(static_cast<unsigned char>(s[0]))) return false;
    char* end = nullptr;
    const double v = std::strtod(s.c_str(), &end);
    if (*end != '\0' || !(v >= 0 && v < 1e10)) return false;
    ns = std::int64_t(v * 1e9 + 0.5);
    return true;
}

// "HH:MM[:SS[.fff]]" as nanoseconds into the day.
bool parseTimeOfDay(const std::string& s, std::int64_t& ns) {
    int h = 0, m = 0, used = 0;
    if (std::sscanf(s.c_str(), "%2d:%2d%n", &h, &m, &used) != 2 || h > 23 || m > 59) return false;
    std::int64_t seconds = 0;
    if (std::size_t(used) < s.size()) {
        if (s[std::size_t(used)] != ':' ||
            !parseSeconds(s.substr(std::size_t(used) + 1), seconds) || seconds >= 60 * kSecondNs)
            return false;
    }
    ns = (std::int64_t(h) * 3600 + m * 60) * kSecondNs + seconds;
    return true;
}

GoToResult firstAtOrAfter(const PacketBuffer& b, std::int64_t at, const std::string& what) {
    if (const int n = packetAtOrAfter(b, at)) return {n, {}};
    return {0, "No packet held was captured at or after " + what + "."};
}
}  // namespace

int packetAtOrAfter(const PacketBuffer& b, std::int64_t epochNs) {
    for (int n = b.oldestHeld(); n <= b.newestHeld(); ++n) {
        const CaptureTime& t = b.captureTime(n);
        if (t.known && epochNanoseconds(t) >= epochNs) return n;
    }
    return 0;
}

GoToResult goToPacket(const PacketBuffer& b, const std::string& typed, long utcOffsetSeconds) {
    const std::string text = trimmed(typed);
    const int oldest = b.oldestHeld(), newest = b.newestHeld();
    if (newest < oldest || newest == 0) return {0, "No packets are held."};
    if (!text.empty() && text.find_first_not_of("0123456789") == std::string::npos) {
        const long long n = text.size() > 10 ? -1 : std::atoll(text.c_str());
        if (n >= oldest && n <= newest) return {int(n), {}};
        if (n >= 1 && n < oldest)
            return {0, "Packet " + text + " is no longer held: the oldest held is packet " +
                           std::to_string(oldest) + "."};
        return {0, "Packet " + text + " is not held: the packets held are " +
                       std::to_string(oldest) + " to " + std::to_string(newest) + "."};
    }
    const bool timed = b.captureTime(oldest).known;
    if (!text.empty() && text[0] == '+') {
        std::int64_t after = 0;
        if (!parseSeconds(text.substr(1), after))
            return {0, "\"" + text + "\" is no number of seconds."};
        if (!timed) return {0, "The packets held have no capture times."};
        return firstAtOrAfter(b, epochNanoseconds(b.captureTime(oldest)) + after, text);
    }
    std::string clock = text;
    bool utc = false;
    for (const char* suffix : {"UTC", "utc", "Z"}) {
        const std::string s = suffix;
        if (clock.size() > s.size() && clock.compare(clock.size() - s.size(), s.size(), s) == 0) {
            clock = trimmed(clock.substr(0, clock.size() - s.size()));
            utc = true;
        }
    }
    std::int64_t ofDay = 0;
    if (!parseTimeOfDay(clock, ofDay))
        return {0, "\"" + text +
                       "\" is no packet number, time of day (13:20:30) or seconds after the "
                       "first packet held (+2.5)."};
    if (!timed) return {0, "The packets held have no capture times."};
    // That time of day on the day of the first packet held; the day after
    // when that is still within the packets held (a capture past midnight).
    const std::int64_t shift = utc ? 0 : std::int64_t(utcOffsetSeconds) * kSecondNs;
    const std::int64_t first = epochNanoseconds(b.captureTime(oldest));
    const std::int64_t local = first + shift;
    const std::int64_t day = local - ((local % kDayNs) + kDayNs) % kDayNs;
    std::int64_t at = day + ofDay - shift;
    const CaptureTime& last = b.captureTime(newest);
    if (at < first && last.known && at + kDayNs <= epochNanoseconds(last)) at += kDayNs;
    return firstAtOrAfter(b, at, text);
}

}  // namespace pelsid
