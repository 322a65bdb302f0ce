#pragma once
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "store/FrameBatch.h"

namespace pelsid {

class PacketBuffer;

/// Copies packets `first`..`last` out of `buffer`, those of them still held,
/// with their wire lengths and times: the buffer may change while the copy
/// is written.
FrameBatch copyPackets(const PacketBuffer& buffer, int first, int last);

/// Writes `records`, whose bytes lie in `bytes`, to `path`: pcapng when the
/// name ends in ".pcapng", else pcap, with nanosecond times when a packet's
/// time is finer than microseconds. The same bytes, wire lengths and times
/// (an unknown time is written as 0). Returns an empty text on success, else
/// a message naming the file and the reason; a failed write leaves no file
/// behind and an existing file as it was.
std::string writePackets(const std::string& path, std::span<const RecordRef> records,
                         std::span<const std::uint8_t> bytes);
inline std::string writePackets(const std::string& path, const FrameBatch& frames) {
    return writePackets(path, frames.records, frames.bytes);
}

}  // namespace pelsid
