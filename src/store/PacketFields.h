#pragma once
#include <cstdint>
#include <string>

#include "store/HeaderWalk.h"

namespace pelsid {

/// Header fields decoded once when a packet is stored. A field the packet
/// does not carry (or whose bytes lie beyond the packet's end) is 0.
struct PacketFields {
    std::uint16_t etherType = 0;  // the frame's own, also for a VLAN-tagged frame
    IpNetwork network = IpNetwork::None;
    bool tagged = false;       // the frame carries a VLAN tag
    std::uint16_t vlanId = 0;  // the outermost tag's VLAN ID
    std::uint8_t ipVersion = 0;
    std::uint8_t ipHeaderLength = 0;
    std::uint8_t ipTOS = 0;       // IPv6: the traffic class
    std::uint8_t ipTTL = 0;       // IPv6: the hop limit
    std::uint8_t ipProtocol = 0;  // IPv6: the upper layer, after the extension headers
    bool flagReserved = false;
    bool flagDF = false;
    bool flagMF = false;
    std::uint32_t ipTotalLength = 0;  // IPv6: 40 + the payload length, up to 65575
    std::uint16_t ipChecksum = 0;
    std::uint16_t ipFragOffset = 0;
    std::uint32_t ipID = 0;  // IPv6: the Fragment header's, all 32 bits
    // IPv4 addresses take the first four bytes.
    std::uint8_t ipSrc[16] = {};
    std::uint8_t ipDst[16] = {};
    std::uint16_t udpSrcPort = 0;
    std::uint16_t udpDstPort = 0;
    std::uint16_t tcpSrcPort = 0;
    std::uint16_t tcpDstPort = 0;

    bool isIP() const { return network != IpNetwork::None; }
};

/// "0x" and the Ethertype in upper-case hex, e.g. "0x800".
std::string etherTypeText(const PacketFields& fields);
/// Dotted-quad text of four octets.
std::string dottedQuad(const std::uint8_t octets[4]);
/// An address as text: dotted quad for IPv4, RFC 5952 for IPv6, 0.0.0.0 for
/// a frame that carries no IP.
std::string addressText(const PacketFields& fields, const std::uint8_t* address);

/// Where an address sits on a 16-bit axis. IPv4: its leading 16 bits, so a
/// /16 network shares one point. IPv6: the exclusive-or of its eight 16-bit
/// groups, so one address always lands on one point, the hosts of one
/// network (which share 64 prefix bits) spread by their interface
/// identifiers, and equal interface identifiers in different networks apart.
int addressAxisValue(const PacketFields& fields, const std::uint8_t* address);

/// Decodes the header fields of `length` bytes at `packet`, an Ethernet
/// frame. Never reads at or beyond `length`: a missing byte reads as 0.
PacketFields decodeHeaders(const std::uint8_t* packet, int length);

}  // namespace pelsid
