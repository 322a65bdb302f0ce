#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "store/CaptureTime.h"
#include "store/LoadProblem.h"

namespace pelsid {

/// One packet found in a file: `length` bytes at `offset` in the byte array
/// the reader was given (dataset) or filled (pcap). `length` is already cut to
/// a slot's size. `fileEnd` is how many bytes of the file had been read when
/// the packet was complete, for a progress display. `wireLength` is the
/// frame's length on the wire (0: the stored length) and `time` when it was
/// captured, as the file gave them; `linkType` the link type it was captured
/// on before it was made an Ethernet frame.
struct RecordRef {
    std::size_t offset = 0;
    std::uint32_t length = 0;
    std::uint64_t fileEnd = 0;
    std::uint32_t wireLength = 0;
    CaptureTime time;
    std::uint32_t linkType = 1;
    std::uint64_t frame = 0;  // its number in the file, counted from 1 as --from counts
};

/// What a reader found: the packets to store, in file order, and the messages
/// for the user.
struct RecordSet {
    std::vector<RecordRef> records;
    std::vector<LoadProblem> problems;
    int cutCount = 0;             // packets longer than a slot, stored cut
    int skippedCount = 0;         // frames with nothing to store
    bool exceeded = false;        // more packets than the buffer holds; the rest were dropped
    bool ended = false;           // the chosen frames ended before the file did
    bool refused = false;         // the file could not be read at all; nothing is to be stored
    bool cancelled = false;       // the read was ended early on request
    std::uint64_t frames = 0;     // frames (records) of the file passed, kept or not
    std::uint64_t bytesRead = 0;  // how much of the file was read
};

}  // namespace pelsid
