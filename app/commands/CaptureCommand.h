#pragma once
#include <ostream>
#include <string>

namespace pelsid {

/// `pelsid --capture ADAPTER [--filter EXPR] [--count N] --fields|--write FILE`:
/// captures through the capture helper, without a display, N frames or (N = 0)
/// until SIGINT or SIGTERM, into a packet buffer, and writes them as the
/// fields report. Tells `err` once capturing has begun (so a caller may start
/// its traffic) and at the end "N frames captured, M dropped by the kernel".
/// With `writeTo` (`--write FILE`) the frames go to a pcap (pcapng when the
/// name ends so) instead, whole, with their capture times: FILE is replaced
/// and written from the first frame on, flushed every half second. A second
/// signal ends the program at once. Returns 1 with a message on `err` when
/// the capture cannot start or fails, or the file cannot be written (it keeps
/// what was written before).
int runCaptureCommand(const std::string& adapter, const std::string& filter, int count,
                      const std::string& writeTo, std::ostream& out, std::ostream& err);

}  // namespace pelsid
