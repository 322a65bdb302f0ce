#pragma once
// Classic pcap files written by hand, for the shapes and link types no tool
// here makes: the readers' tests build them byte by byte.
#include <cstdint>
#include <vector>

namespace pcapbytes {

using Bytes = std::vector<std::uint8_t>;

inline void put32(Bytes& b, std::uint32_t v, bool bigEndian = false) {
    for (int i = 0; i < 4; ++i) b.push_back(std::uint8_t(v >> (bigEndian ? 24 - 8 * i : 8 * i)));
}
inline void put16(Bytes& b, std::uint16_t v, bool bigEndian = false) {
    b.push_back(std::uint8_t(bigEndian ? v >> 8 : v));
    b.push_back(std::uint8_t(bigEndian ? v : v >> 8));
}

/// The 24-byte file header.
inline Bytes pcapHeader(std::uint32_t linkType, std::uint32_t snaplen = 262144,
                        bool bigEndian = false, std::uint32_t magic = 0xA1B2C3D4) {
    Bytes b;
    put32(b, magic, bigEndian);
    put16(b, 2, bigEndian);
    put16(b, 4, bigEndian);
    put32(b, 0, bigEndian);
    put32(b, 0, bigEndian);
    put32(b, snaplen, bigEndian);
    put32(b, linkType, bigEndian);
    return b;
}

/// One record; `caplen` 0 means the frame's own size.
inline void pcapFrame(Bytes& b, const Bytes& frame, std::uint32_t caplen = 0,
                      bool bigEndian = false) {
    put32(b, 1700000000, bigEndian);
    put32(b, 0, bigEndian);
    put32(b, caplen ? caplen : std::uint32_t(frame.size()), bigEndian);
    put32(b, std::uint32_t(frame.size()), bigEndian);
    b.insert(b.end(), frame.begin(), frame.end());
}

/// An Ethernet frame of `length` bytes with EtherType ARP, filled with 0xAB.
inline Bytes ethernetFrame(std::size_t length) {
    Bytes f(length, 0xAB);
    f[12] = 0x08;
    f[13] = 0x06;
    return f;
}

}  // namespace pcapbytes
