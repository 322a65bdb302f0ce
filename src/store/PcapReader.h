#pragma once
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "store/RecordSet.h"

namespace pelsid {

/// True when `fileBytes` start with a pcap (either byte order, micro- or
/// nanosecond) or pcapng magic.
bool hasPcapMagic(std::span<const std::uint8_t> fileBytes);

/// Reads a pcap or pcapng file held in memory through libpcap. Frames are
/// appended to `frames` (records point into it): Ethernet frames as they are;
/// Linux cooked (SLL, SLL2) and raw IP frames behind a made-up 14-byte
/// Ethernet header carrying their EtherType. Any other link type is refused.
/// A file damaged part-way keeps the frames before the damage. `fileName`
/// only names the file in messages.
RecordSet readPcap(std::span<const std::uint8_t> fileBytes, const std::string& fileName,
                   std::vector<std::uint8_t>& frames);

}  // namespace pelsid
