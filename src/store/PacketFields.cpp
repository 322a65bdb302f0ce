#include "store/PacketFields.h"

#include <arpa/inet.h>

#include <charconv>
#include <cstring>

namespace pelsid {

namespace {
constexpr int kProtoTCP = 6;
constexpr int kProtoUDP = 17;

void decodeIPv4(const FrameBytes& b, std::size_t at, PacketFields& f) {
    f.ipVersion = b.u8(at) >> 4;
    f.ipHeaderLength = b.u8(at) & 0x0F;
    f.ipTOS = b.u8(at + 1);
    f.ipTotalLength = b.u16(at + 2);
    f.ipID = b.u16(at + 4);
    f.flagReserved = (b.u8(at + 6) & 0x80) != 0;
    f.flagDF = (b.u8(at + 6) & 0x40) != 0;
    f.flagMF = (b.u8(at + 6) & 0x20) != 0;
    f.ipFragOffset = b.u16(at + 6) & 0x1FFF;
    f.ipTTL = b.u8(at + 8);
    f.ipProtocol = b.u8(at + 9);
    f.ipChecksum = b.u16(at + 10);
    for (std::size_t k = 0; k < 4; ++k) {
        f.ipSrc[k] = b.u8(at + 12 + k);
        f.ipDst[k] = b.u8(at + 16 + k);
    }
}

void decodeIPv6(const FrameBytes& b, const HeaderWalk& w, PacketFields& f) {
    const std::size_t at = w.networkAt;
    f.ipVersion = b.u8(at) >> 4;
    f.ipTOS = std::uint8_t(b.u16(at) >> 4);
    f.ipTotalLength = 40u + b.u16(at + 4);
    f.ipTTL = b.u8(at + 7);
    f.ipProtocol = std::uint8_t(w.protocol);
    if (w.ipv6Fragment) {
        f.ipID = w.fragmentId;
        f.flagMF = w.moreFragments;
        f.ipFragOffset = w.fragmentOffset;
    }
    for (std::size_t k = 0; k < 16; ++k) {
        f.ipSrc[k] = b.u8(at + 8 + k);
        f.ipDst[k] = b.u8(at + 24 + k);
    }
}
}  // namespace

PacketFields decodeHeaders(const std::uint8_t* packet, int length) {
    const std::span<const std::uint8_t> frame(packet, length > 0 ? std::size_t(length) : 0);
    const FrameBytes b(frame);
    const HeaderWalk w = walkHeaders(frame);
    PacketFields f;
    f.etherType = w.etherType;
    f.tagged = w.vlanTags > 0;
    f.vlanId = w.vlanIds[0];
    f.network = w.network;
    if (w.network == IpNetwork::IPv4)
        decodeIPv4(b, w.networkAt, f);
    else if (w.network == IpNetwork::IPv6)
        decodeIPv6(b, w, f);
    else
        return f;
    // A later fragment carries payload where the ports would be.
    if (w.laterFragment) return f;
    if (f.ipProtocol == kProtoUDP) {
        f.udpSrcPort = b.u16(w.transportAt);
        f.udpDstPort = b.u16(w.transportAt + 2);
    } else if (f.ipProtocol == kProtoTCP) {
        f.tcpSrcPort = b.u16(w.transportAt);
        f.tcpDstPort = b.u16(w.transportAt + 2);
    }
    return f;
}

std::string etherTypeText(const PacketFields& f) {
    // Formatted by hand: labels are made for every packet played.
    char text[8] = {'0', 'x'};
    const auto end = std::to_chars(text + 2, text + sizeof text, unsigned(f.etherType), 16).ptr;
    for (char* c = text + 2; c < end; ++c)
        if (*c >= 'a') *c = char(*c - 'a' + 'A');
    return std::string(text, end);
}

std::string dottedQuad(const std::uint8_t o[4]) {
    std::string text;
    text.reserve(15);
    for (int i = 0; i < 4; ++i) {
        if (i > 0) text += '.';
        const unsigned v = o[i];
        if (v >= 100) text += char('0' + v / 100);
        if (v >= 10) text += char('0' + v / 10 % 10);
        text += char('0' + v % 10);
    }
    return text;
}

std::string addressText(const PacketFields& f, const std::uint8_t* address) {
    if (f.network != IpNetwork::IPv6) return dottedQuad(address);
    char text[INET6_ADDRSTRLEN] = {};
    inet_ntop(AF_INET6, address, text, sizeof text);
    return text;
}

int addressAxisValue(const PacketFields& f, const std::uint8_t* address) {
    if (f.network != IpNetwork::IPv6) return address[0] * 256 + address[1];
    int folded = 0;
    for (int k = 0; k < 16; k += 2) folded ^= address[k] * 256 + address[k + 1];
    return folded;
}

}  // namespace pelsid
