// The capture readers on bytes in memory: dataset, pcap and pcapng with the
// per-interface link-type conversion and cutting to a slot. Reading in tiny
// pieces must keep the same frames and say the same as reading in one piece,
// and a counting pass must count at least the frames kept. The capture
// helper's stream is read as pcapng that also hands over its statistics
// blocks, with every frame kept: the same frames, whatever the piece size.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "store/CaptureFile.h"
#include "store/FrameIntake.h"
#include "store/PacketBuffer.h"
#include "store/PcapngReader.h"

using namespace pelsid;

// Where the sum of every record byte goes, so the reads cannot be left out.
volatile unsigned byteSum;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static PacketBuffer buffer;
    const std::vector<std::uint8_t> bytes(data, data + size);
    const CaptureFile file = readCaptureBytes(bytes, "fuzz");
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

    ReadOptions tiny;
    tiny.pieceSize = 1 + size % 29;
    const CaptureFile pieces = readCaptureBytes(bytes, "fuzz", tiny);
    if (pieces.format() != file.format() || pieces.recordCount() != file.recordCount() ||
        pieces.problems().size() != file.problems().size())
        std::abort();
    for (int i = 0; i < file.recordCount(); ++i) {
        const auto a = file.record(i), b = pieces.record(i);
        if (a.size() != b.size() || !std::equal(a.begin(), a.end(), b.begin())) std::abort();
        // Times too, and each must make a text (a fraction of a second, known or not).
        const CaptureTime& t = file.records()[std::size_t(i)].time;
        if (!(t == pieces.records()[std::size_t(i)].time)) std::abort();
        if (t.nanoseconds >= 1000000000u || epochText(t).empty() == t.known) std::abort();
    }
    for (std::size_t i = 0; i < file.problems().size(); ++i)
        if (pieces.problems()[i].text != file.problems()[i].text) std::abort();

    if (file.format() == CaptureFile::Format::Pcapng) {
        std::uint64_t kept[2] = {0, 0}, counts = 0;
        for (int pass = 0; pass < 2; ++pass) {
            ReadOptions stream;
            stream.keepAll = true;
            RecordSet set;
            FrameIntake intake(
                stream, set, [&](auto&&...) { ++kept[pass]; }, nullptr);
            ByteInput input(std::span<const std::uint8_t>(bytes),
                            pass == 0 ? size : tiny.pieceSize);
            readPcapngFile(input, "fuzz", intake, set, [&](const InterfaceStatistics& s) {
                counts += s.received + s.interfaceDropped + s.systemDropped;
            });
        }
        if (kept[0] != kept[1] || kept[0] < std::uint64_t(file.recordCount())) std::abort();
        byteSum = byteSum + unsigned(counts);
    }

    ReadOptions count = tiny;
    count.countOnly = true;
    const CaptureFile counted = readCaptureBytes(bytes, "fuzz", count);
    if (counted.recordCount() != 0 ||
        counted.recordSet().frames < std::uint64_t(file.recordCount()))
        std::abort();
    return 0;
}
