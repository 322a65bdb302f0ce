#pragma once
#include <ostream>
#include <string>

namespace pelsid {

/// `pelsid --capture ADAPTER [--filter EXPR] --count N --fields|--write FILE`: captures N
/// frames on ADAPTER into a packet buffer, without a display, and writes them
/// as the fields report. Tells `err` once capturing has begun (so a caller
/// may start its traffic) and at the end how many frames the kernel dropped.
/// With `writeTo` (`--write FILE`) the frames go to a new pcap (pcapng when
/// the name ends so) instead, whole, with their capture times.
/// Returns 1 with a message on `err` when the capture cannot start or fails,
/// or the file cannot be written (no partial file is left then).
int runCaptureCommand(const std::string& adapter, const std::string& filter, int count,
                      const std::string& writeTo, std::ostream& out, std::ostream& err);

}  // namespace pelsid
