#pragma once
// pcap and pcapng files written by hand, for the shapes, link types and
// time stamps no tool here makes: the readers' tests build them byte by byte.
#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>
#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

namespace pelsid::test {

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

/// One record; `caplen` 0 means the frame's own size. `fraction` counts
/// micro- or nanoseconds, as the file's magic says.
inline void pcapFrame(Bytes& b, const Bytes& frame, std::uint32_t caplen = 0,
                      bool bigEndian = false, std::uint32_t seconds = 1700000000,
                      std::uint32_t fraction = 0) {
    put32(b, seconds, bigEndian);
    put32(b, fraction, bigEndian);
    put32(b, caplen ? caplen : std::uint32_t(frame.size()), bigEndian);
    put32(b, std::uint32_t(frame.size()), bigEndian);
    b.insert(b.end(), frame.begin(), frame.end());
}

/// A record of `frame` of which only its first `kept` bytes were captured.
inline void pcapCutFrame(Bytes& b, const Bytes& frame, std::size_t kept) {
    for (std::size_t v : {std::size_t(1700000000), std::size_t(0), kept, frame.size()})
        put32(b, std::uint32_t(v));
    b.insert(b.end(), frame.begin(), frame.begin() + std::ptrdiff_t(kept));
}

/// A record of a `wire`-byte frame of which nothing was captured.
inline void pcapEmptyFrame(Bytes& b, std::uint32_t wire = 60, bool bigEndian = false) {
    for (std::uint32_t v : {1700000000u, 0u, 0u, wire}) put32(b, v, bigEndian);
}

/// A pcapng block in either byte order.
inline void pcapngBlock(Bytes& b, std::uint32_t type, const Bytes& body, bool big = false) {
    const std::uint32_t total = std::uint32_t(12 + body.size());
    put32(b, type, big);
    put32(b, total, big);
    b.insert(b.end(), body.begin(), body.end());
    put32(b, total, big);
}
inline void sectionHeader(Bytes& b, bool big = false) {
    Bytes body;
    put32(body, 0x1A2B3C4D, big);
    put16(body, 1, big);
    put16(body, 0, big);
    put32(body, 0xFFFFFFFF, big);
    put32(body, 0xFFFFFFFF, big);
    pcapngBlock(b, 0x0A0D0D0A, body, big);
}
/// One option of an interface description: code, length, value padded to 4.
inline void option(Bytes& b, std::uint16_t code, const Bytes& value, bool big = false) {
    put16(b, code, big);
    put16(b, std::uint16_t(value.size()), big);
    b.insert(b.end(), value.begin(), value.end());
    while (b.size() % 4) b.push_back(0);
}
/// `options` as option() writes them; the end-of-options mark is added.
inline void interfaceBlock(Bytes& b, std::uint16_t linkType, bool big = false,
                           const Bytes& options = {}) {
    Bytes body;
    put16(body, linkType, big);
    put16(body, 0, big);
    put32(body, 0, big);
    if (!options.empty()) {
        body.insert(body.end(), options.begin(), options.end());
        put32(body, 0, big);
    }
    pcapngBlock(b, 1, body, big);
}
/// An enhanced packet block; `stamp` counts the interface's time units and
/// `wire` (0: the frame's size) is the length on the wire.
inline void packetBlock(Bytes& b, std::uint32_t interface, const Bytes& frame, bool big = false,
                        std::uint64_t stamp = 0, std::uint32_t wire = 0) {
    Bytes body;
    put32(body, interface, big);
    put32(body, std::uint32_t(stamp >> 32), big);
    put32(body, std::uint32_t(stamp), big);
    put32(body, std::uint32_t(frame.size()), big);
    put32(body, wire ? wire : std::uint32_t(frame.size()), big);
    body.insert(body.end(), frame.begin(), frame.end());
    while (body.size() % 4) body.push_back(0);
    pcapngBlock(b, 6, body, big);
}
/// A simple packet block: no interface, no time.
inline void simplePacketBlock(Bytes& b, const Bytes& frame, bool big = false) {
    Bytes body;
    put32(body, std::uint32_t(frame.size()), big);
    body.insert(body.end(), frame.begin(), frame.end());
    while (body.size() % 4) body.push_back(0);
    pcapngBlock(b, 3, body, big);
}

/// An Ethernet frame of `length` bytes with EtherType ARP, filled with 0xAB.
inline Bytes ethernetFrame(std::size_t length) {
    Bytes f(length, 0xAB);
    f[12] = 0x08;
    f[13] = 0x06;
    return f;
}

/// A path in a temporary folder of this process alone, removed at its end:
/// ctest runs the cases of one table side by side, each in a process of its own.
inline std::string tempPath(const char* name) {
    static const QTemporaryDir folder;
    return QDir(folder.path()).filePath(QString::fromUtf8(name)).toStdString();
}

/// Writes `bytes` as the whole of the file at `path`.
inline void writeFile(const std::string& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

}  // namespace pelsid::test
