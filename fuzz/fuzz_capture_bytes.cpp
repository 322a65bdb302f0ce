// The capture file entry point on bytes in memory: dataset, pcap and pcapng
// through libpcap, with the link-type conversion and cutting to a slot.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "store/CaptureFile.h"
#include "store/PacketBuffer.h"

using namespace pelsid;

// Where the sum of every record byte goes, so the reads cannot be left out.
volatile unsigned byteSum;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static PacketBuffer buffer;
    const CaptureFile file = readCaptureBytes(std::vector<std::uint8_t>(data, data + size), "fuzz");
    if (!file.isLoadable() && file.problems().empty()) std::abort();  // refused, say why
    if (file.recordCount() > PacketBuffer::kSlots) std::abort();
    unsigned sum = 0;
    for (int i = 0; i < file.recordCount(); ++i) {
        const auto record = file.record(i);
        if (record.empty() || record.size() > std::size_t(PacketBuffer::kSlotBytes)) std::abort();
        for (std::uint8_t b : record) sum += b;  // every byte must be readable
    }
    file.insertInto(buffer);
    for (const LoadProblem& p : file.problems())
        if (p.text.empty() || p.title.empty()) std::abort();
    byteSum = sum;
    return 0;
}
