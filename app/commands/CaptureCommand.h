#pragma once
#include <ostream>
#include <string>

namespace pelsid {

/// `pelsid --capture ADAPTER [--filter EXPR] --count N --fields`: captures N
/// frames on ADAPTER into a packet buffer, without a display, and writes them
/// as the fields report. Tells `err` once capturing has begun (so a caller
/// may start its traffic) and at the end how many frames the kernel dropped.
/// Returns 1 with a message on `err` when the capture cannot start or fails.
int runCaptureCommand(const std::string& adapter, const std::string& filter, int count,
                      std::ostream& out, std::ostream& err);

}  // namespace pelsid
