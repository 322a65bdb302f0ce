#pragma once
#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

namespace gensample {

using Bytes = std::vector<std::uint8_t>;
using Mac = std::array<std::uint8_t, 6>;
using Ip = std::array<std::uint8_t, 4>;

/// The IPv4 header fields a frame chooses; lengths and checksum are computed.
struct IpHeader {
    Ip src{};
    Ip dst{};
    std::uint8_t protocol = 0;
    std::uint8_t ttl = 64;
    std::uint8_t tos = 0;
    std::uint16_t id = 0;
    bool df = false;
    bool mf = false;
    std::uint16_t fragOffset = 0;  // in units of 8 bytes
    Bytes options;                 // a multiple of 4 bytes
};

inline constexpr std::uint8_t kFin = 0x01, kSyn = 0x02, kRst = 0x04, kPsh = 0x08, kAck = 0x10;

/// Builds wire-correct frames: Ethernet II, IPv4 with header checksum,
/// TCP/UDP/ICMP/IGMP with their checksums, ARP; padded to the 60-byte minimum.
class FrameBuilder {
  public:
    static Bytes ethernet(const Mac& dst, const Mac& src, std::uint16_t etherType,
                          const Bytes& payload);
    static Bytes ipv4(const IpHeader& h, const Bytes& payload);
    static Bytes tcp(const Ip& src, const Ip& dst, std::uint16_t sport, std::uint16_t dport,
                     std::uint32_t seq, std::uint32_t ack, std::uint8_t flags, std::uint16_t window,
                     const Bytes& payload, bool mssOption = false);
    static Bytes udp(const Ip& src, const Ip& dst, std::uint16_t sport, std::uint16_t dport,
                     const Bytes& payload);
    static Bytes icmpEcho(bool request, std::uint16_t id, std::uint16_t seq, const Bytes& data);
    static Bytes igmpV2(std::uint8_t type, std::uint8_t maxResp, const Ip& group);
    static Bytes arp(bool request, const Mac& senderMac, const Ip& senderIp, const Mac& targetMac,
                     const Ip& targetIp);

    static Bytes text(std::string_view s) { return Bytes(s.begin(), s.end()); }
    static std::uint16_t checksum(const std::uint8_t* p, std::size_t n, std::uint32_t sum = 0);
};

}  // namespace gensample
