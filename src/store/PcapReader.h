#pragma once
#include <cstdint>
#include <span>
#include <string>

#include "store/ByteInput.h"
#include "store/RecordSet.h"

namespace pelsid {

class FrameIntake;

/// True when `fileBytes` start with a pcap (either byte order, micro- or
/// nanosecond) or pcapng magic.
bool hasPcapMagic(std::span<const std::uint8_t> fileBytes);
/// True when they start with a pcapng section header block's type.
bool hasPcapngMagic(std::span<const std::uint8_t> fileBytes);

/// Reads a classic pcap file from its first byte, frame by frame, offering
/// each to `intake`. Only a frame's first bytes are held, whatever lengths
/// the file claims. A file whose header cannot be read, or whose link type
/// pelsid cannot show, is refused (`set.refused`, an error naming the file); a
/// file damaged part-way keeps the frames before the damage, with a warning
/// naming the frame and its byte offset. Frames longer than the header's
/// snapshot length are cut to it, as libpcap does, and counted in one warning.
void readPcapFile(ByteInput& input, const std::string& fileName, FrameIntake& intake,
                  RecordSet& set);

}  // namespace pelsid
