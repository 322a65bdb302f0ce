#pragma once
#include <cstdint>
#include <functional>
#include <string>

#include "store/ByteInput.h"
#include "store/RecordSet.h"

namespace pelsid {

class FrameIntake;

/// Reads a pcapng file from its first byte, block by block, offering every
/// packet (enhanced, simple and obsolete packet blocks) to `intake` with the
/// link type of its own interface; other blocks are passed over. Sections
/// may use either byte order. Only a packet's first bytes are held, whatever
/// lengths the file claims. A file whose first section header cannot be read
/// is refused (`set.refused`, an error naming the file); a file damaged
/// part-way keeps the frames before the damage, with a warning naming the
/// frame and its byte offset.
/// An interface statistics block's counts (0 for those it leaves out).
struct InterfaceStatistics {
    std::uint32_t interface = 0;  // which of the file's interfaces
    std::uint64_t received = 0;
    std::uint64_t interfaceDropped = 0;
    std::uint64_t systemDropped = 0;
};

/// `statistics`, when given, is called with every interface statistics block.
void readPcapngFile(ByteInput& input, const std::string& fileName, FrameIntake& intake,
                    RecordSet& set,
                    const std::function<void(const InterfaceStatistics&)>& statistics = {});

}  // namespace pelsid
