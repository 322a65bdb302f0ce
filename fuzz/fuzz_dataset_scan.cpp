// The dataset scan on arbitrary bytes: every record lies inside the input and
// fits a slot, the buffer decodes whatever the records hold, and reading in
// tiny pieces finds exactly the records reading in one piece finds.
#include <cstdint>
#include <cstdlib>
#include <span>

#include "store/DatasetScan.h"
#include "store/PacketBuffer.h"

using namespace pelsid;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static PacketBuffer buffer;
    const std::span<const std::uint8_t> bytes(data, size);
    const RecordSet set = scanDataset(bytes);
    if (set.records.size() > std::size_t(PacketBuffer::kSlots)) std::abort();
    std::uint64_t lastEnd = 0;
    for (const RecordRef& r : set.records) {
        if (r.length == 0 || r.length > std::uint32_t(PacketBuffer::kSlotBytes)) std::abort();
        if (r.offset + r.length > size || r.fileEnd > size || r.fileEnd < lastEnd) std::abort();
        lastEnd = r.fileEnd;
        buffer.insertPacket({data + r.offset, r.length});
    }
    // Piece boundaries fall everywhere: a piece size from 1 to 23 by the input's size.
    const RecordSet pieces = scanDataset(bytes, 1 + size % 23);
    if (pieces.records.size() != set.records.size() || pieces.cutCount != set.cutCount)
        std::abort();
    for (std::size_t i = 0; i < set.records.size(); ++i)
        if (pieces.records[i].offset != set.records[i].offset ||
            pieces.records[i].length != set.records[i].length ||
            pieces.records[i].fileEnd != set.records[i].fileEnd)
            std::abort();
    return 0;
}
