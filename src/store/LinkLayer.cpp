#include "store/LinkLayer.h"

#include <pcap/pcap.h>

#include <algorithm>
#include <cstring>

#include "store/HeaderWalk.h"

namespace pelsid {

namespace {
constexpr std::size_t kEthernetHeader = 14;
constexpr std::size_t kNone = std::size_t(-1);

// Link types as files write them (some differ from libpcap's DLT numbers).
constexpr std::uint32_t kLinkNull = 0;
constexpr std::uint32_t kLinkPpp = 9;
constexpr std::uint32_t kLinkRawOld = 12;  // raw IP as Linux writes DLT_RAW
constexpr std::uint32_t kLinkPppHdlc = 50;
constexpr std::uint32_t kLinkRaw = 101;
constexpr std::uint32_t kLinkCiscoHdlc = 104;
constexpr std::uint32_t kLinkIeee80211 = 105;
constexpr std::uint32_t kLinkFrameRelay = 107;
constexpr std::uint32_t kLinkLoop = 108;
constexpr std::uint32_t kLinkSll = 113;
constexpr std::uint32_t kLinkPrism = 119;
constexpr std::uint32_t kLinkRadiotap = 127;
constexpr std::uint32_t kLinkArcnetLinux = 129;
constexpr std::uint32_t kLinkAvs = 163;
constexpr std::uint32_t kLinkIpnet = 226;
constexpr std::uint32_t kLinkIPv4 = 228;
constexpr std::uint32_t kLinkIPv6 = 229;
constexpr std::uint32_t kLinkNflog = 239;
constexpr std::uint32_t kLinkIpoib = 242;
constexpr std::uint32_t kLinkPktap = 258;
constexpr std::uint32_t kLinkSll2 = 276;

constexpr std::uint16_t kEtherTypeBridged = 0x6558;  // an Ethernet frame follows

std::uint16_t le16(const FrameBytes& b, std::size_t at) {
    return std::uint16_t(b.u8(at) | b.u8(at + 1) << 8);
}
std::uint32_t le32(const FrameBytes& b, std::size_t at) {
    return std::uint32_t(le16(b, at)) | std::uint32_t(le16(b, at + 2)) << 16;
}

// Where a frame's payload starts and what it is.
struct Peeled {
    Conversion result = Conversion::NotCarried;
    std::size_t offset = 0;
    std::uint16_t etherType = 0;
    bool ethernet = false;                     // the payload is itself an Ethernet frame
    std::size_t dstAt = kNone, srcAt = kNone;  // MAC addresses in the link header
};

Peeled carrying(std::size_t offset, std::uint16_t etherType) {
    Peeled p;
    if (etherType == kEtherTypeIPv4 || etherType == kEtherTypeIPv6 || etherType == kEtherTypeArp ||
        etherType == kEtherTypeBridged) {
        p.result = Conversion::Converted;
        p.offset = offset;
        p.etherType = etherType;
        p.ethernet = etherType == kEtherTypeBridged;
    }
    return p;
}

// Address families as BSD loopback, IPNET and NFLOG headers name them.
std::uint16_t familyType(std::uint32_t family) {
    switch (family) {
        case 2:
            return kEtherTypeIPv4;
        case 10:  // Linux
        case 24:  // NetBSD, OpenBSD
        case 26:  // Solaris IPNET
        case 28:  // FreeBSD
        case 30:  // macOS
            return kEtherTypeIPv6;
        default:
            return 0;
    }
}

Peeled bsdLoopback(const FrameBytes& b, bool networkOrder) {
    // NULL holds the family in the writer's byte order; a family is small.
    std::uint32_t family = networkOrder ? b.u32(0) : le32(b, 0);
    if (!networkOrder && (family & 0xFFFF0000u)) family = __builtin_bswap32(family);
    return carrying(4, familyType(family));
}

Peeled ppp(const FrameBytes& b) {
    std::size_t at = b.u8(0) == 0xFF && b.u8(1) == 0x03 ? 2 : 0;
    // A protocol number with its low bit set is the compressed one-byte form.
    std::uint16_t protocol = b.u8(at);
    if (protocol & 1) {
        at += 1;
    } else {
        protocol = b.u16(at);
        at += 2;
    }
    if (protocol == 0x21) return carrying(at, kEtherTypeIPv4);
    if (protocol == 0x57) return carrying(at, kEtherTypeIPv6);
    return {};
}

Peeled ciscoHdlc(const FrameBytes& b) {
    return carrying(4, b.u16(2));
}

Peeled frameRelay(const FrameBytes& b) {
    // The Q.922 address runs until a byte with its low (extension) bit set.
    std::size_t at = 0;
    while (at < 4 && !(b.u8(at) & 1)) ++at;
    at += 1;
    if (b.u8(at) != 0x03) return {};
    ++at;
    if (b.u8(at) == 0x00) ++at;  // padding before a SNAP header
    switch (b.u8(at)) {
        case 0xCC:
            return carrying(at + 1, kEtherTypeIPv4);
        case 0x8E:
            return carrying(at + 1, kEtherTypeIPv6);
        case 0x80: {
            const std::uint32_t oui = b.u32(at) & 0x00FFFFFF;
            const std::uint16_t pid = b.u16(at + 4);
            if (oui == 0) return carrying(at + 6, pid);
            // Bridged Ethernet, with or without its frame check sequence.
            if (oui == 0x0080C2 && (pid == 0x0001 || pid == 0x0007))
                return carrying(at + 6, kEtherTypeBridged);
            return {};
        }
        default:
            return {};
    }
}

Peeled nflog(const FrameBytes& b) {
    const std::uint16_t type = familyType(b.u8(0));
    std::size_t at = 4;
    // Type-length-value attributes in the writer's byte order; the payload is type 9.
    for (int k = 0; k < 64 && b.has(at, 4); ++k) {
        std::uint16_t length = le16(b, at), tlvType = le16(b, at + 2);
        if (tlvType > 0xFF) length = b.u16(at), tlvType = b.u16(at + 2);
        if (length < 4) return {};
        if (tlvType == 9) return carrying(at + 4, type);
        at += (std::size_t(length) + 3) & ~std::size_t(3);
    }
    return {};
}

Peeled ieee80211(const FrameBytes& b, std::size_t at) {
    const std::uint8_t control = b.u8(at), flags = b.u8(at + 1);
    const bool data = (control & 0x0C) == 0x08;
    const bool noBody = (control & 0x40) != 0;  // null data, CF-Ack, CF-Poll
    const bool qos = (control & 0x80) != 0;
    const bool protectedFrame = (flags & 0x40) != 0;
    if (!data || noBody || protectedFrame) return {};
    const bool toDs = flags & 0x01, fromDs = flags & 0x02;
    std::size_t header = 24 + (toDs && fromDs ? 6 : 0);
    if (qos) {
        if (b.u8(at + header) & 0x80) return {};  // an A-MSDU holds several frames
        header += 2 + ((flags & 0x80) ? 4 : 0);
    }
    const std::size_t llc = at + header;
    const bool snap = b.u8(llc) == 0xAA && b.u8(llc + 1) == 0xAA && b.u8(llc + 2) == 0x03 &&
                      b.u8(llc + 3) == 0 && b.u8(llc + 4) == 0 &&
                      (b.u8(llc + 5) == 0 || b.u8(llc + 5) == 0xF8);
    if (!b.has(llc, 8)) return {.result = Conversion::Empty};
    if (!snap) return {};
    Peeled p = carrying(llc + 8, b.u16(llc + 6));
    // Addresses 1, 2, 3 and 4 as the frame's direction uses them.
    p.dstAt = at + (toDs ? 16 : 4);
    p.srcAt = at + (fromDs ? (toDs ? 24 : 16) : 10);
    return p;
}

Peeled peel(std::uint32_t linkType, const FrameBytes& b, int depth);

Peeled pktap(const FrameBytes& b, int depth) {
    // A little-endian header: its length, the record type (1: a packet) and
    // the link type of the packet that follows.
    const std::uint32_t length = le32(b, 0);
    if (depth > 0 || length < 12 || le32(b, 4) != 1 || !b.has(length, 0)) return {};
    const std::uint32_t inner = le32(b, 8);
    const FrameBytes rest(b.bytes().subspan(length));
    Peeled p = peel(inner, rest, depth + 1);
    p.offset += length;
    if (p.dstAt != kNone) p.dstAt += length;
    if (p.srcAt != kNone) p.srcAt += length;
    return p;
}

Peeled peel(std::uint32_t linkType, const FrameBytes& b, int depth) {
    switch (linkType) {
        case kLinkEthernet:
            return {.result = Conversion::Converted, .ethernet = true};
        case kLinkSll: {
            Peeled p{.result = Conversion::Converted, .offset = 16, .etherType = b.u16(14)};
            if (b.u16(4) == 6) p.srcAt = 6;
            return p;
        }
        case kLinkSll2: {
            Peeled p{.result = Conversion::Converted, .offset = 20, .etherType = b.u16(0)};
            if (b.u8(11) == 6) p.srcAt = 12;
            return p;
        }
        case kLinkRawOld:
        case kLinkRaw:
            if (!b.has(0, 1)) return {.result = Conversion::Empty};
            return {.result = Conversion::Converted,
                    .etherType = (b.u8(0) >> 4) == 6 ? kEtherTypeIPv6 : kEtherTypeIPv4};
        case kLinkIPv4:
            return {.result = Conversion::Converted, .etherType = kEtherTypeIPv4};
        case kLinkIPv6:
            return {.result = Conversion::Converted, .etherType = kEtherTypeIPv6};
        case kLinkNull:
            return bsdLoopback(b, false);
        case kLinkLoop:
            return bsdLoopback(b, true);
        case kLinkPpp:
            return ppp(b);
        case kLinkPppHdlc:
            // Cisco HDLC framing also goes by this link type.
            return b.u8(0) == 0x0F || b.u8(0) == 0x8F ? ciscoHdlc(b) : ppp(b);
        case kLinkCiscoHdlc:
            return ciscoHdlc(b);
        case kLinkFrameRelay:
            return frameRelay(b);
        case kLinkNflog:
            return nflog(b);
        case kLinkPktap:
            return pktap(b, depth);
        case kLinkIpnet:
            return carrying(24, familyType(b.u8(1)));
        case kLinkIpoib:
            // A 40-byte pseudo header (route header or destination address), then RFC 4391's.
            return carrying(44, b.u16(40));
        case kLinkArcnetLinux: {
            // Source, destination, a 2-byte offset, then the protocol ID; the
            // RFC 1201 protocols add a split flag and a sequence number.
            const std::uint8_t protocol = b.u8(4);
            if (protocol == 0xF0) return carrying(5, kEtherTypeIPv4);
            if (protocol == 0xF1) return carrying(5, kEtherTypeArp);
            const std::size_t at = b.u8(5) == 0xFF ? 12 : 8;  // an exception frame pads 4 bytes
            if (b.u8(at - 3) != 0) return {};                 // one piece of a split packet
            if (protocol == 0xD4) return carrying(at, kEtherTypeIPv4);
            if (protocol == 0xD5) return carrying(at, kEtherTypeArp);
            if (protocol == 0xC4) return carrying(at, kEtherTypeIPv6);
            return {};
        }
        case kLinkIeee80211:
            return ieee80211(b, 0);
        case kLinkRadiotap:
            if (b.u8(0) != 0) return {};
            return ieee80211(b, le16(b, 2));
        case kLinkAvs:
            return ieee80211(b, b.u32(4));
        case kLinkPrism:
            // Some cards write an AVS header under this link type.
            if ((b.u32(0) & 0xFFFFFFF0u) == 0x80211000u) return ieee80211(b, b.u32(4));
            return ieee80211(b, le32(b, 4));
        default:
            return {};
    }
}
}  // namespace

bool isShowableLink(std::uint32_t linkType) {
    switch (linkType) {
        case kLinkEthernet:
        case kLinkNull:
        case kLinkPpp:
        case kLinkRawOld:
        case kLinkPppHdlc:
        case kLinkRaw:
        case kLinkCiscoHdlc:
        case kLinkIeee80211:
        case kLinkFrameRelay:
        case kLinkLoop:
        case kLinkSll:
        case kLinkPrism:
        case kLinkRadiotap:
        case kLinkArcnetLinux:
        case kLinkAvs:
        case kLinkIpnet:
        case kLinkIPv4:
        case kLinkIPv6:
        case kLinkNflog:
        case kLinkIpoib:
        case kLinkPktap:
        case kLinkSll2:
            return true;
        default:
            return false;
    }
}

std::string linkTypeName(std::uint32_t linkType) {
    // Names are looked up by libpcap's 16-bit numbers; anything wider is shown
    // as the number the file holds.
    const int dlt = int(linkType);
    const char* name = linkType <= 0xFFFF ? pcap_datalink_val_to_name(dlt) : nullptr;
    if (!name) return "number " + std::to_string(linkType);
    std::string text = name;
    if (const char* description = pcap_datalink_val_to_description(dlt))
        text += std::string(" (") + description + ")";
    return text;
}

std::string linkTypeShortName(std::uint32_t linkType) {
    const char* name = linkType <= 0xFFFF ? pcap_datalink_val_to_name(int(linkType)) : nullptr;
    return name ? std::string(name) : "link type " + std::to_string(linkType);
}

Conversion LinkConverter::convert(std::uint32_t linkType, const std::uint8_t* data,
                                  std::size_t held, std::uint64_t caplen, std::size_t maxBytes,
                                  EthernetFrame& out) {
    held = std::size_t(std::min<std::uint64_t>(held, caplen));
    if (caplen == 0) return Conversion::Empty;
    const FrameBytes b({data, held});
    const Peeled p = peel(linkType, b, 0);
    if (p.result != Conversion::Converted) return p.result;
    // Nothing beyond the link header; a header longer than any reader holds
    // is not looked behind, so a frame converts the same however much is held.
    if (p.offset >= caplen) return Conversion::Empty;
    if (p.offset > kMaxLinkHeader || p.offset >= held) return Conversion::NotCarried;
    if (p.ethernet) {
        if (linkType != kLinkEthernet && caplen - p.offset < kEthernetHeader)
            return Conversion::Empty;
        out.fullLength = caplen - p.offset;
        out.bytes = {data + p.offset, std::min(held - p.offset, maxBytes)};
        return Conversion::Converted;
    }
    std::uint8_t* e = storage_;
    std::memset(e, 0, kEthernetHeader);
    if (p.dstAt != kNone && b.has(p.dstAt, 6)) std::memcpy(e, data + p.dstAt, 6);
    if (p.srcAt != kNone && b.has(p.srcAt, 6)) std::memcpy(e + 6, data + p.srcAt, 6);
    e[12] = std::uint8_t(p.etherType >> 8);
    e[13] = std::uint8_t(p.etherType);
    const std::size_t room = std::min(maxBytes, sizeof storage_) - kEthernetHeader;
    const std::size_t payload = std::min(held - p.offset, room);
    std::memcpy(e + kEthernetHeader, data + p.offset, payload);
    out.fullLength = caplen - p.offset + kEthernetHeader;
    out.bytes = {e, kEthernetHeader + payload};
    return Conversion::Converted;
}

}  // namespace pelsid
