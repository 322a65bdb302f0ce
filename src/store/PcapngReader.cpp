#include "store/PcapngReader.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "store/FrameIntake.h"
#include "store/LoadMessages.h"

namespace pelsid {

namespace {
constexpr std::uint32_t kSectionHeader = 0x0A0D0D0A;
constexpr std::uint32_t kInterfaceDescription = 1;
constexpr std::uint32_t kObsoletePacket = 2;
constexpr std::uint32_t kSimplePacket = 3;
constexpr std::uint32_t kInterfaceStatistics = 5;
constexpr std::uint32_t kEnhancedPacket = 6;
constexpr std::uint32_t kByteOrderMagic = 0x1A2B3C4D;
constexpr std::size_t kBlockHeader = 8;  // type and total length; the length repeats at the end
// More interfaces than any capture has: a file claiming them is damaged
// rather than allowed to grow the table without end.
constexpr std::size_t kMaxInterfaces = 1 << 16;

std::uint32_t read32(const std::uint8_t* p, bool swapped) {
    std::uint32_t v;
    std::memcpy(&v, p, 4);
    return swapped ? __builtin_bswap32(v) : v;
}
std::uint16_t read16(const std::uint8_t* p, bool swapped) {
    std::uint16_t v;
    std::memcpy(&v, p, 2);
    return swapped ? __builtin_bswap16(v) : v;
}

// The smallest body (between the length fields) each block type may have.
std::uint32_t minimumBody(std::uint32_t type) {
    switch (type) {
        case kSectionHeader:
            return 16;
        case kInterfaceDescription:
            return 8;
        case kEnhancedPacket:
        case kObsoletePacket:
            return 20;
        case kSimplePacket:
            return 4;
        default:
            return 0;
    }
}

constexpr std::uint16_t kOptionTsResol = 9;
constexpr std::uint16_t kOptionTsOffset = 14;

struct Interface {
    std::uint32_t linkType = 0;
    std::uint32_t snaplen = 0;
    // Time stamps count units of 10^-exponent s, or 2^-exponent s when
    // binary; microseconds unless the interface says otherwise.
    std::uint8_t exponent = 6;
    bool binary = false;
    bool timeKnown = true;    // false for a resolution no 64-bit count can carry
    std::int64_t offset = 0;  // seconds added to every time stamp
};

// Reads the options of an interface description block from `options`
// (`size` bytes, as many as the window holds): the time resolution and offset.
void readInterfaceOptions(const std::uint8_t* options, std::size_t size, bool swapped,
                          Interface& i) {
    std::size_t at = 0;
    while (at + 4 <= size) {
        const std::uint16_t code = read16(options + at, swapped);
        const std::uint16_t length = read16(options + at + 2, swapped);
        at += 4;
        if (code == 0 || length > size - at) return;
        if (code == kOptionTsResol && length >= 1) {
            i.binary = (options[at] & 0x80) != 0;
            i.exponent = options[at] & 0x7F;
            // 10^19 and 2^63 units per second are the most a 64-bit count holds.
            i.timeKnown = i.exponent <= (i.binary ? 63 : 19);
        } else if (code == kOptionTsOffset && length >= 8) {
            std::uint64_t v;
            std::memcpy(&v, options + at, 8);
            i.offset = std::int64_t(swapped ? __builtin_bswap64(v) : v);
        }
        at += (std::size_t(length) + 3) & ~std::size_t(3);
    }
}

// isb_ifrecv, isb_ifdrop and isb_osdrop of a statistics block's options.
InterfaceStatistics readStatistics(const std::uint8_t* options, std::size_t size, bool swapped) {
    InterfaceStatistics s;
    std::size_t at = 0;
    while (at + 4 <= size) {
        const std::uint16_t code = read16(options + at, swapped);
        const std::uint16_t length = read16(options + at + 2, swapped);
        at += 4;
        if (code == 0 || length > size - at) break;
        if (length == 8 && (code == 4 || code == 5 || code == 7)) {
            std::uint64_t v;
            std::memcpy(&v, options + at, 8);
            v = swapped ? __builtin_bswap64(v) : v;
            (code == 4 ? s.received : code == 5 ? s.interfaceDropped : s.systemDropped) = v;
        }
        at += (std::size_t(length) + 3) & ~std::size_t(3);
    }
    return s;
}

CaptureTime packetTime(const Interface& i, std::uint64_t units) {
    if (!i.timeKnown) return {};
    CaptureTime t;
    t.known = true;
    unsigned __int128 fraction;
    if (i.binary) {
        t.seconds = std::int64_t(units >> i.exponent);
        fraction = (units & ((std::uint64_t(1) << i.exponent) - 1));
        fraction = (fraction * 1000000000u) >> i.exponent;
        // Enough decimals that one unit still shows: 2^-10 s needs 4.
        t.decimals = std::uint8_t(std::min(9, int(std::ceil(i.exponent * std::log10(2.0)))));
    } else {
        std::uint64_t perSecond = 1;
        for (int k = 0; k < i.exponent; ++k) perSecond *= 10;
        t.seconds = std::int64_t(units / perSecond);
        fraction = (unsigned __int128)(units % perSecond) * 1000000000u / perSecond;
        t.decimals = std::uint8_t(std::min<int>(9, i.exponent));
    }
    t.nanoseconds = std::uint32_t(fraction);
    t.seconds =
        std::int64_t(std::uint64_t(t.seconds) + std::uint64_t(i.offset));  // wraps, never traps
    return t;
}
}  // namespace

void readPcapngFile(ByteInput& input, const std::string& fileName, FrameIntake& intake,
                    RecordSet& set,
                    const std::function<void(const InterfaceStatistics&)>& statistics) {
    std::vector<Interface> interfaces;
    bool swapped = false;
    bool first = true;
    std::uint8_t frame[FrameIntake::kLooksAt];
    while (!input.cancelled()) {
        const std::uint64_t at = input.position();
        auto damaged = [&](const std::string& reason) {
            if (first) {
                set.refused = true;
                set.problems.push_back(fileError(fileName, reason));
            } else {
                set.problems.push_back(
                    damageProblem(fileName, intake.frames() + 1, at, reason, intake.stored()));
            }
        };
        auto truncated = [&](std::uint64_t wanted, std::uint64_t got) {
            damaged(!input.error().empty()
                        ? input.error()
                        : "truncated pcapng dump file; tried to read " + std::to_string(wanted) +
                              " bytes, only got " + std::to_string(got));
        };
        if (!input.ensure(kBlockHeader + 4)) {
            // The smallest block is 12 bytes; nothing at all is a clean end.
            if (input.available() > 0 || !input.error().empty() || first)
                truncated(kBlockHeader + 4, input.available());
            break;
        }
        const std::uint8_t* d = input.data();
        std::uint32_t type = read32(d, swapped);
        if (std::memcmp(d, "\x0A\x0D\x0D\x0A", 4) == 0) {
            type = kSectionHeader;
            const std::uint32_t order = read32(d + 8, false);
            if (order == kByteOrderMagic) {
                swapped = false;
            } else if (order == __builtin_bswap32(kByteOrderMagic)) {
                swapped = true;
            } else {
                damaged("the section header's byte-order magic is not recognised");
                break;
            }
        } else if (first) {
            damaged("the file does not begin with a section header block");
            break;
        }
        const std::uint32_t total = read32(d + 4, swapped);
        if (total < kBlockHeader + 4 || total % 4 != 0) {
            damaged("a block has a length of " + std::to_string(total) +
                    " bytes, not a multiple of 4 of at least 12");
            break;
        }
        const std::uint32_t body = total - std::uint32_t(kBlockHeader) - 4;
        if (body < minimumBody(type)) {
            damaged("a block of type " + std::to_string(type) + " is " + std::to_string(total) +
                    " bytes long, less than its minimum of " +
                    std::to_string(minimumBody(type) + kBlockHeader + 4));
            break;
        }
        if (!input.ensure(kBlockHeader + minimumBody(type))) {
            truncated(kBlockHeader + minimumBody(type), input.available());
            break;
        }
        d = input.data();
        bool packet = false;
        std::size_t dataAt = 0;  // where a packet's bytes start in the block
        std::uint32_t interface = 0, caplen = 0, wireLength = 0;
        std::uint64_t stamp = 0;
        bool stamped = false;
        switch (type) {
            case kSectionHeader:
                if (read16(d + 12, swapped) != 1) {
                    damaged("pcapng version " + std::to_string(read16(d + 12, swapped)) +
                            " is not supported");
                    return;
                }
                interfaces.clear();
                first = false;
                break;
            case kInterfaceDescription:
                if (interfaces.size() == kMaxInterfaces) {
                    damaged("more than " + std::to_string(kMaxInterfaces) + " interfaces");
                    return;
                }
                interfaces.push_back({read16(d + 8, swapped), read32(d + 12, swapped)});
                // The options follow; of a block longer than the window, the
                // first window's worth is read, however the input comes in pieces.
                {
                    const std::size_t looked =
                        std::min<std::size_t>(total - 4, ByteInput::kMaxWindow);
                    input.ensure(looked);
                    d = input.data();
                    readInterfaceOptions(d + 16, std::min(looked, input.available()) - 16, swapped,
                                         interfaces.back());
                }
                break;
            case kEnhancedPacket:
            case kObsoletePacket:
                packet = true;
                interface =
                    type == kEnhancedPacket ? read32(d + 8, swapped) : read16(d + 8, swapped);
                stamp = std::uint64_t(read32(d + 12, swapped)) << 32 | read32(d + 16, swapped);
                stamped = true;
                caplen = read32(d + 20, swapped);
                wireLength = read32(d + 24, swapped);
                dataAt = kBlockHeader + 20;
                if (caplen > body - 20) {
                    damaged("a packet's captured length of " + std::to_string(caplen) +
                            " bytes is larger than its block");
                    return;
                }
                break;
            case kInterfaceStatistics:
                // Interface, time stamp, then the options.
                if (const std::size_t looked =
                        std::min<std::size_t>(total - 4, ByteInput::kMaxWindow);
                    statistics && body >= 12 && input.ensure(looked)) {
                    d = input.data();
                    InterfaceStatistics s = readStatistics(d + 20, looked - 20, swapped);
                    s.interface = read32(d + 8, swapped);
                    statistics(s);
                }
                break;
            case kSimplePacket:
                packet = true;
                wireLength = read32(d + 8, swapped);
                caplen = std::min(wireLength, body - 4);
                if (!interfaces.empty() && interfaces[0].snaplen != 0)
                    caplen = std::min(caplen, interfaces[0].snaplen);
                dataAt = kBlockHeader + 4;
                break;
            default:
                break;
        }
        if (packet && interface >= interfaces.size()) {
            damaged("a packet names interface " + std::to_string(interface) +
                    ", but no interface description block came before it");
            return;
        }
        std::size_t held = 0;
        if (packet && intake.wantsBytes()) {
            held = std::min<std::size_t>(caplen, sizeof frame);
            if (!input.ensure(dataAt + held)) {
                truncated(total, input.available());
                break;
            }
            std::memcpy(frame, input.data() + dataAt, held);
        }
        const std::uint64_t looked = packet ? dataAt + held : kBlockHeader;
        input.consume(std::size_t(looked));
        if (!input.skip(total - 4 - looked) || !input.ensure(4)) {
            truncated(total, input.position() - at + input.available());
            break;
        }
        if (read32(input.data(), swapped) != total) {
            damaged("the block's length at its end (" +
                    std::to_string(read32(input.data(), swapped)) +
                    ") differs from the one at its start (" + std::to_string(total) + ")");
            break;
        }
        input.consume(4);
        if (packet &&
            !intake.offer(interfaces[interface].linkType, frame, held, caplen, wireLength,
                          at + dataAt, input.position(),
                          stamped ? packetTime(interfaces[interface], stamp) : CaptureTime{}))
            break;
    }
}

}  // namespace pelsid
