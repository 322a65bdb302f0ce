#pragma once
// Synthetic frames for the header-field views' tests and benchmark.
#include <array>
#include <cstdint>
#include <vector>

#include "store/PacketBuffer.h"

namespace pelsid::test {

struct Ipv4Header {
    std::array<std::uint8_t, 4> src{10, 1, 2, 3};
    std::array<std::uint8_t, 4> dst{192, 168, 0, 1};
    int protocol = 6;  // TCP
    int srcPort = 40000;
    int dstPort = 80;
    int ttl = 64;
    int tos = 0;
    int flags = 2;  // reserved, DF, MF as bits 2, 1, 0
    int length = 60;
};

inline void put16(std::vector<std::uint8_t>& f, int at, int v) {
    f[at] = std::uint8_t(v >> 8);
    f[at + 1] = std::uint8_t(v);
}

inline std::vector<std::uint8_t> ipv4Frame(const Ipv4Header& s) {
    std::vector<std::uint8_t> f(std::size_t(s.length < 54 ? 54 : s.length), 0);
    put16(f, 12, 0x0800);
    f[14] = 0x45;
    f[15] = std::uint8_t(s.tos);
    put16(f, 16, int(f.size()) - 14);
    put16(f, 18, 0x1234);
    f[20] = std::uint8_t(s.flags << 5);
    f[22] = std::uint8_t(s.ttl);
    f[23] = std::uint8_t(s.protocol);
    for (int i = 0; i < 4; ++i) {
        f[26 + i] = s.src[i];
        f[30 + i] = s.dst[i];
    }
    put16(f, 34, s.srcPort);
    put16(f, 36, s.dstPort);
    return f;
}

/// An ARP request (Ethertype 0x0806) of 60 bytes.
inline std::vector<std::uint8_t> arpFrame() {
    std::vector<std::uint8_t> f(60, 0);
    put16(f, 12, 0x0806);
    f[14] = 0x00;
    f[15] = 0x01;
    return f;
}

/// Stores the frame and returns its packet number.
inline int store(PacketBuffer& buffer, const std::vector<std::uint8_t>& frame) {
    buffer.insertPacket(frame);
    return buffer.newestHeld();
}

}  // namespace pelsid::test
