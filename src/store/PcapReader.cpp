#include "store/PcapReader.h"

#include <algorithm>
#include <cstring>

#include "store/FrameIntake.h"
#include "store/LoadMessages.h"

namespace pelsid {

namespace {
constexpr std::size_t kFileHeader = 24;
constexpr std::size_t kRecordHeader = 16;
// The largest frame libpcap accepts in a pcap file; a snapshot length of 0
// or above it means this.
constexpr std::uint32_t kMaxSnaplen = 262144;

std::uint32_t read32(const std::uint8_t* p, bool swapped) {
    std::uint32_t v;
    std::memcpy(&v, p, 4);
    return swapped ? __builtin_bswap32(v) : v;
}

// A record's time; a fraction of a second or more is carried into the seconds.
CaptureTime recordTime(std::uint32_t seconds, std::uint32_t fraction, bool nano) {
    const std::uint32_t perSecond = nano ? 1000000000u : 1000000u;
    return {.seconds = std::int64_t(seconds) + fraction / perSecond,
            .nanoseconds = (fraction % perSecond) * (nano ? 1u : 1000u),
            .decimals = std::uint8_t(nano ? 9 : 6),
            .known = true};
}

std::string snapCutText(std::uint64_t n, std::uint32_t snaplen) {
    return std::to_string(n) + (n == 1 ? " frame was" : " frames were") +
           " longer than the file's snapshot length of " + std::to_string(snaplen) + " bytes and " +
           (n == 1 ? "was" : "were") + " read cut to it.";
}

std::string truncatedText(const ByteInput& input, const char* what, std::uint64_t wanted,
                          std::uint64_t got) {
    if (!input.error().empty()) return input.error();
    return "truncated dump file; tried to read " + std::to_string(wanted) + " " + what +
           " bytes, only got " + std::to_string(got);
}
}  // namespace

bool hasPcapMagic(std::span<const std::uint8_t> b) {
    if (b.size() < 4) return false;
    const std::uint32_t le = std::uint32_t(b[0]) | std::uint32_t(b[1]) << 8 |
                             std::uint32_t(b[2]) << 16 | std::uint32_t(b[3]) << 24;
    const std::uint32_t be = __builtin_bswap32(le);
    for (std::uint32_t magic : {0xA1B2C3D4u, 0xA1B23C4Du, 0xA1B2CD34u})
        if (le == magic || be == magic) return true;
    return hasPcapngMagic(b);
}

bool hasPcapngMagic(std::span<const std::uint8_t> b) {
    return b.size() >= 4 && b[0] == 0x0A && b[1] == 0x0D && b[2] == 0x0D && b[3] == 0x0A;
}

void readPcapFile(ByteInput& input, const std::string& fileName, FrameIntake& intake,
                  RecordSet& set) {
    if (!input.ensure(kFileHeader)) {
        set.refused = true;
        set.problems.push_back(fileError(
            fileName, truncatedText(input, "file header", kFileHeader, input.available())));
        return;
    }
    const std::uint8_t* h = input.data();
    std::uint32_t magic;
    std::memcpy(&magic, h, 4);
    const bool swapped = !(magic == 0xA1B2C3D4u || magic == 0xA1B23C4Du || magic == 0xA1B2CD34u);
    const std::uint32_t ours = swapped ? __builtin_bswap32(magic) : magic;
    const bool nano = ours == 0xA1B23C4Du;
    // The "modified" format's records carry 8 more bytes (interface index,
    // protocol, packet type, padding) that nothing here needs.
    const std::size_t recordHeader = ours == 0xA1B2CD34u ? kRecordHeader + 8 : kRecordHeader;
    const std::uint32_t snaplen = read32(h + 16, swapped);
    const std::uint32_t linkType = read32(h + 20, swapped);
    // The upper bits may carry frame check sequence details, as libpcap reads them.
    const std::uint32_t link = linkType & 0x03FFFFFF;
    if (!isShowableLink(link)) {
        set.refused = true;
        set.problems.push_back(fileError(
            fileName, "its link type " + linkTypeName(linkType) +
                          " is not supported; pelsid reads the link types its manual lists."));
        return;
    }
    const std::uint32_t snapshot = snaplen == 0 || snaplen > kMaxSnaplen ? kMaxSnaplen : snaplen;
    input.consume(kFileHeader);

    std::uint8_t frame[FrameIntake::kLooksAt];
    std::uint64_t snapCut = 0;
    while (!input.cancelled()) {
        const std::uint64_t at = input.position();
        auto damaged = [&](const std::string& reason) {
            set.problems.push_back(
                damageProblem(fileName, intake.frames() + 1, at, reason, intake.stored()));
        };
        if (!input.ensure(recordHeader)) {
            if (input.available() > 0 || !input.error().empty())
                damaged(truncatedText(input, "header", recordHeader, input.available()));
            break;
        }
        const CaptureTime time =
            recordTime(read32(input.data(), swapped), read32(input.data() + 4, swapped), nano);
        const std::uint32_t caplen = read32(input.data() + 8, swapped);
        const std::uint32_t wireLength = read32(input.data() + 12, swapped);
        if (caplen > kMaxSnaplen) {
            damaged("invalid packet capture length " + std::to_string(caplen) +
                    ", bigger than maximum of " + std::to_string(kMaxSnaplen));
            break;
        }
        // A record of no length on the wire is a hole in a damaged file, not
        // a frame: what follows it is not to be trusted.
        if (wireLength == 0) {
            damaged("invalid packet length 0 on the wire");
            break;
        }
        input.consume(recordHeader);
        // libpcap reads a frame longer than the snapshot length cut to it.
        const std::uint32_t kept = std::min(caplen, snapshot);
        if (kept < caplen) ++snapCut;
        const std::size_t held =
            intake.wantsBytes() ? std::min<std::size_t>(kept, sizeof frame) : 0;
        if (!input.ensure(held)) {
            damaged(truncatedText(input, "captured", caplen, input.available()));
            break;
        }
        // A record whole in the window is offered from there: skipping within
        // the window reads nothing, so the bytes stay put. Else they are kept
        // aside before the rest is skipped.
        const bool inWindow = input.available() >= caplen;
        const std::uint8_t* bytes = inWindow ? input.data() : frame;
        if (!inWindow) std::memcpy(frame, input.data(), held);
        input.consume(held);
        if (!input.skip(caplen - held)) {
            damaged(truncatedText(input, "captured", caplen, input.position() - at - recordHeader));
            break;
        }
        if (!intake.offer(link, bytes, held, kept, wireLength, at + recordHeader, input.position(),
                          time))
            break;
    }
    if (snapCut > 0) set.problems.push_back(fileWarning(fileName, snapCutText(snapCut, snapshot)));
}

}  // namespace pelsid
