#include "store/OverviewScan.h"

#include "store/ByteInput.h"
#include "store/PacketFields.h"

namespace pelsid {

int overviewKindOf(std::span<const std::uint8_t> frame) {
    const PacketFields f = decodeHeaders(frame.data(), int(frame.size()));
    if (!f.isIP()) return kNonIpKind;
    return int(protocolClassOf(f.ipProtocol));
}

OverviewScan scanOverview(const std::string& path, const ReadOptions& options,
                          std::int64_t interval) {
    OverviewScan scan;
    scan.overview = Overview(interval);
    scanOverviewInto(scan, path, options);
    return scan;
}

void scanOverviewInto(OverviewScan& scan, const std::string& path, const ReadOptions& options,
                      std::mutex* guard) {
    ReadOptions every = options;
    every.keepAll = true;
    every.countOnly = false;
    ByteInput input(path, every.pieceSize, every.cancel);
    RecordSet set;
    scan.format = readCapture(
        input, path, every, set,
        [&](std::span<const std::uint8_t> frame, std::uint64_t, std::uint64_t,
            std::uint32_t wireLength, const CaptureTime& time, std::uint32_t,
            std::uint64_t number) {
            const int kind = overviewKindOf(frame);
            if (!guard) return scan.overview.add(number, wireLength, kind, time);
            const std::lock_guard<std::mutex> hold(*guard);
            scan.overview.add(number, wireLength, kind, time);
        });
    scan.problems = std::move(set.problems);
    scan.cancelled = set.cancelled;
}

}  // namespace pelsid
