#pragma once
#include <cstdint>
#include <ostream>
#include <string>

#include "store/Overview.h"
#include "store/ReadOptions.h"

namespace pelsid {

/// The column names of the classes in an overview table, `non_ip` last.
extern const char* const kOverviewKindColumns[kOverviewKinds];

/// Writes `overview` as a tab-separated table: a header line, then one line
/// per interval from the first to the last, empty ones included: start
/// (epoch seconds; empty for untimed frames), first frame, frames, bytes and
/// the frames of each kind.
void writeOverviewTable(const Overview& overview, std::ostream& out);

/// `pelsid --overview FILE [--interval SECONDS] [--from N] [--filter EXPR]`:
/// one pass over the whole of FILE, printed by writeOverviewTable. Without
/// an interval (`intervalNs` 0) a round one gives about 100 lines. Returns
/// the exit status: 1 when FILE cannot be read, else 0.
int runOverviewCommand(const std::string& path, const LoadChoice& choice, std::int64_t intervalNs,
                       std::ostream& out, std::ostream& err);

}  // namespace pelsid
