#pragma once
#include <cstdint>
#include <string>

namespace pelsid {

/// Header fields decoded once when a packet is stored. A field the packet
/// does not carry (or whose bytes lie beyond the packet's end) is 0.
struct PacketFields {
    std::uint16_t etherType = 0;
    std::uint8_t ipVersion = 0;
    std::uint8_t ipHeaderLength = 0;
    std::uint8_t ipTOS = 0;
    std::uint8_t ipTTL = 0;
    std::uint8_t ipProtocol = 0;
    bool flagReserved = false;
    bool flagDF = false;
    bool flagMF = false;
    std::uint16_t ipTotalLength = 0;
    std::uint16_t ipID = 0;
    std::uint16_t ipChecksum = 0;
    std::uint16_t ipFragOffset = 0;
    std::uint8_t ipSrc[4] = {0, 0, 0, 0};
    std::uint8_t ipDst[4] = {0, 0, 0, 0};
    std::uint16_t udpSrcPort = 0;
    std::uint16_t udpDstPort = 0;
    std::uint16_t tcpSrcPort = 0;
    std::uint16_t tcpDstPort = 0;
};

/// "0x" and the Ethertype in upper-case hex, e.g. "0x800".
std::string etherTypeText(const PacketFields& fields);
/// Dotted-quad text of four octets.
std::string dottedQuad(const std::uint8_t octets[4]);

/// Decodes Ethernet/IPv4/TCP/UDP fields of `length` bytes at `packet`.
/// Never reads at or beyond `length`: a missing byte reads as 0.
PacketFields decodeHeaders(const std::uint8_t* packet, int length);

}  // namespace pelsid
