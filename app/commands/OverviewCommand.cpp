#include "commands/OverviewCommand.h"

#include "store/OverviewScan.h"

namespace pelsid {

namespace {
constexpr int kDefaultLines = 100;
}

const char* const kOverviewKindColumns[kOverviewKinds] = {
    "tcp", "udp", "icmp", "igmp", "other_legal", "unassigned", "non_ip"};

void writeOverviewTable(const Overview& overview, std::ostream& out) {
    out << "start\tfirst\tframes\tbytes";
    for (const char* name : kOverviewKindColumns) out << '\t' << name;
    out << '\n';
    for (std::int64_t k = overview.firstIndex(); k <= overview.lastIndex(); ++k) {
        const OverviewBin b = overview.bin(k);
        if (overview.timed()) out << epochText(overview.startTime(k));
        out << '\t';
        if (b.frames > 0) out << b.firstFrame;
        out << '\t' << b.frames << '\t' << b.bytes;
        for (std::uint64_t n : b.kindFrames) out << '\t' << n;
        out << '\n';
    }
}

int runOverviewCommand(const std::string& path, const LoadChoice& choice, std::int64_t intervalNs,
                       std::ostream& out, std::ostream& err) {
    ReadOptions options;
    options.choice = choice;
    const OverviewScan scan = scanOverview(path, options, intervalNs);
    for (const LoadProblem& p : scan.problems)
        err << (p.severity == LoadProblem::Severity::Error ? "error: " : "warning: ") << p.text
            << '\n';
    if (scan.format == CaptureFormat::Unreadable || scan.format == CaptureFormat::NotPelsid)
        return 1;
    const Overview& o = scan.overview;
    if (intervalNs > 0 && o.timed() && o.interval() != intervalNs)
        err << "warning: the capture spans too long for that interval; intervals of "
            << double(o.interval()) / 1e9 << " s are used\n";
    const bool fit = intervalNs == 0 || !o.timed();
    writeOverviewTable(fit ? o.regrouped(o.fittingInterval(kDefaultLines)) : o, out);
    return 0;
}

}  // namespace pelsid
