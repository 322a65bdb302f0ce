#pragma once
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "store/RecordSet.h"

namespace pelsid {

class PacketBuffer;

/// Packets to be written to a file: their stored bytes one after another and
/// a record of each (offset, length, wire length, time). A copy, so the
/// buffer may change while it is written.
struct PacketCopy {
    std::vector<std::uint8_t> bytes;
    std::vector<RecordRef> records;
};

/// Copies packets `first`..`last` out of `buffer`, those of them still held.
PacketCopy copyPackets(const PacketBuffer& buffer, int first, int last);

/// Writes `records`, whose bytes lie in `bytes`, to `path`: pcapng when the
/// name ends in ".pcapng", else pcap, with nanosecond times when a packet's
/// time is finer than microseconds. The same bytes, wire lengths and times
/// (an unknown time is written as 0). Returns an empty text on success, else
/// a message naming the file and the reason; a failed write leaves no file
/// behind and an existing file as it was.
std::string writePackets(const std::string& path, std::span<const RecordRef> records,
                         std::span<const std::uint8_t> bytes);
inline std::string writePackets(const std::string& path, const PacketCopy& copy) {
    return writePackets(path, copy.records, copy.bytes);
}

}  // namespace pelsid
