#include "store/OverviewScan.h"

#include "store/ByteInput.h"
#include "store/HeaderWalk.h"

namespace pelsid {

int overviewKindOf(std::span<const std::uint8_t> frame) {
    // The walk alone: the class needs no more of the fields.
    const HeaderWalk walk = walkHeaders(frame);
    if (walk.network == IpNetwork::None) return kNonIpKind;
    return int(protocolClassOf(walk.protocol));
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
