#include "store/PacketExport.h"

#include <algorithm>

#include "store/CaptureWriter.h"
#include "store/PacketBuffer.h"

namespace pelsid {

FrameBatch copyPackets(const PacketBuffer& buffer, int first, int last) {
    FrameBatch copy;
    first = std::max(first, buffer.oldestHeld());
    last = std::min(last, buffer.newestHeld());
    if (first > last) return copy;
    copy.records.reserve(std::size_t(last - first + 1));
    for (int n = first; n <= last; ++n) {
        copy.append(buffer.frame(n),
                    {.wireLength = buffer.wireLength(n), .time = buffer.captureTime(n)});
    }
    return copy;
}

std::string writePackets(const std::string& path, std::span<const RecordRef> records,
                         std::span<const std::uint8_t> bytes) {
    // Microseconds keep a microsecond capture exactly, and are what most tools expect.
    const bool nano = std::any_of(records.begin(), records.end(), [](const RecordRef& r) {
        return r.time.known && r.time.decimals > 6;
    });
    CaptureWriter writer(path, CaptureWriter::formatOf(path), nano);
    if (!writer.open()) return writer.error();
    for (const RecordRef& r : records) {
        if (r.offset > bytes.size() || r.length > bytes.size() - r.offset)
            return "Could not write " + path + ": a packet lies outside the packets copied.";
        if (!writer.write(bytes.subspan(r.offset, r.length), r.wireLength, r.time))
            return writer.error();
    }
    if (!writer.finish()) return writer.error();
    return {};
}

}  // namespace pelsid
