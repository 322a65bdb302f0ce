#include "store/PacketSummary.h"

#include <arpa/inet.h>

#include <cstdio>
#include <string_view>

#include "store/HeaderWalk.h"
#include "store/LinkLayer.h"
#include "store/ProtocolNames.h"

namespace pelsid {

namespace {

constexpr int kTcp = 6, kUdp = 17, kIcmp = 1, kIcmpV6 = 58;

using Bytes = FrameBytes;

std::string format(const char* f, auto... args) {
    char text[128];
    const int n = std::snprintf(text, sizeof text, f, args...);
    return std::string(text, n < 0                          ? 0
                             : std::size_t(n) < sizeof text ? std::size_t(n)
                                                            : sizeof text - 1);
}

std::string mac(const Bytes& p, std::size_t at) {
    return format("%02x:%02x:%02x:%02x:%02x:%02x", p.u8(at), p.u8(at + 1), p.u8(at + 2),
                  p.u8(at + 3), p.u8(at + 4), p.u8(at + 5));
}

std::string ipv4(const Bytes& p, std::size_t at) {
    return format("%d.%d.%d.%d", p.u8(at), p.u8(at + 1), p.u8(at + 2), p.u8(at + 3));
}

std::string ipv6(const Bytes& p, std::size_t at) {
    char text[INET6_ADDRSTRLEN] = {};
    inet_ntop(AF_INET6, p.bytes().data() + at, text, sizeof text);
    return text;
}

std::string keyword(int protocol) {
    const std::string_view name = protocolName(protocol);
    return name.empty() ? format("protocol %d", protocol) : std::string(name);
}

std::string_view icmpType(int type) {
    switch (type) {
        case 0:
            return "echo reply";
        case 3:
            return "destination unreachable";
        case 4:
            return "source quench";
        case 5:
            return "redirect";
        case 8:
            return "echo request";
        case 9:
            return "router advertisement";
        case 10:
            return "router solicitation";
        case 11:
            return "time exceeded";
        case 12:
            return "parameter problem";
        case 13:
            return "timestamp request";
        case 14:
            return "timestamp reply";
        default:
            return {};
    }
}

std::string_view icmpV6Type(int type) {
    switch (type) {
        case 1:
            return "destination unreachable";
        case 2:
            return "packet too big";
        case 3:
            return "time exceeded";
        case 4:
            return "parameter problem";
        case 128:
            return "echo request";
        case 129:
            return "echo reply";
        case 130:
            return "multicast listener query";
        case 131:
            return "multicast listener report";
        case 132:
            return "multicast listener done";
        case 133:
            return "router solicitation";
        case 134:
            return "router advertisement";
        case 135:
            return "neighbor solicitation";
        case 136:
            return "neighbor advertisement";
        case 137:
            return "redirect";
        case 143:
            return "multicast listener report v2";
        default:
            return {};
    }
}

std::string tcpFlags(int flags) {
    static constexpr struct {
        int bit;
        const char* name;
    } kFlags[] = {{0x002, "SYN"}, {0x010, "ACK"}, {0x001, "FIN"}, {0x004, "RST"}, {0x008, "PSH"},
                  {0x020, "URG"}, {0x040, "ECE"}, {0x080, "CWR"}, {0x100, "NS"}};
    std::string out = " [";
    for (const auto& f : kFlags)
        if (flags & f.bit) {
            if (out.size() > 2) out += ", ";
            out += f.name;
        }
    out += ']';
    return out;
}

// What follows the IP header: ports and flags, or the ICMP type.
std::string transport(const Bytes& p, std::size_t at, int protocol, const std::string& src,
                      const std::string& dst, bool v6, bool fragment) {
    const std::string name = keyword(protocol);
    auto endpoint = [v6](const std::string& a, int port) {
        return v6 ? format("[%s]:%d", a.c_str(), port) : format("%s:%d", a.c_str(), port);
    };
    if (!fragment && (protocol == kTcp || protocol == kUdp) && p.has(at, 4)) {
        std::string line =
            endpoint(src, p.u16(at)) + " -> " + endpoint(dst, p.u16(at + 2)) + "  " + name;
        if (protocol == kTcp && p.has(at + 12, 2)) line += tcpFlags(p.u16(at + 12) & 0x1FF);
        return line;
    }
    std::string line = src + " -> " + dst + "  " + name;
    if (fragment) return line + " fragment";
    if ((protocol == kIcmp || protocol == kIcmpV6) && p.has(at, 1)) {
        const int type = p.u8(at);
        const std::string_view text = protocol == kIcmp ? icmpType(type) : icmpV6Type(type);
        if (text.empty()) {
            line += format(" type %d", type);
        } else {
            line += ' ';
            line += text;
        }
    }
    return line;
}

std::string summaryOfIP(const Bytes& p, const HeaderWalk& w) {
    const std::size_t at = w.networkAt;
    if (w.network == IpNetwork::IPv4) {
        if (!p.has(at, 20)) return "IPv4, cut short";
        return transport(p, w.transportAt, w.protocol, ipv4(p, at + 12), ipv4(p, at + 16), false,
                         w.laterFragment);
    }
    if (!p.has(at, 40)) return "IPv6, cut short";
    return transport(p, w.transportAt, w.protocol, ipv6(p, at + 8), ipv6(p, at + 24), true,
                     w.laterFragment);
}

std::string summaryOfArp(const Bytes& p, std::size_t at) {
    // Ethernet and IPv4 addresses are the only ones said in words.
    if (!p.has(at, 28) || p.u16(at) != 1 || p.u16(at + 2) != kEtherTypeIPv4) return "ARP";
    const int op = p.u16(at + 6);
    if (op == 1) return "ARP who-has " + ipv4(p, at + 24) + " tell " + ipv4(p, at + 14);
    if (op == 2) return "ARP " + ipv4(p, at + 14) + " is-at " + mac(p, at + 8);
    return format("ARP opcode %d", op);
}

}  // namespace

std::string packetSummary(std::span<const std::uint8_t> frame, std::uint32_t linkType) {
    const Bytes p(frame);
    std::string line = format("%zu bytes  ", frame.size());
    if (linkType != kLinkEthernet) line += "from " + linkTypeShortName(linkType) + "  ";
    if (!p.has(0, 14)) return line + "Ethernet, cut short";
    const HeaderWalk w = walkHeaders(frame);
    for (int k = 0; k < w.vlanTags; ++k) line += format("VLAN %d  ", w.vlanIds[k]);
    switch (w.innerType) {
        case kEtherTypeIPv4:
        case kEtherTypeIPv6:
            return line + summaryOfIP(p, w);
        case kEtherTypeArp:
            return line + summaryOfArp(p, w.networkAt);
        default:
            return line + mac(p, 6) + " -> " + mac(p, 0) +
                   format("  EtherType 0x%04x", w.innerType);
    }
}

}  // namespace pelsid
