#pragma once
#include <ostream>
#include <string>

#include "store/ReadOptions.h"

namespace pelsid {

/// `pelsid --export OUT FILE [--from N] [--filter EXPR]`: loads the chosen
/// frames of FILE as the File menu does and writes the packets it would hold
/// to OUT (pcapng when OUT ends in ".pcapng", else pcap). Messages go to
/// `err`. Returns the exit status: 1 when FILE cannot be read or OUT cannot
/// be written (no partial OUT is left), else 0.
int runExportCommand(const std::string& out, const std::string& path, const LoadChoice& choice,
                     std::ostream& err);

}  // namespace pelsid
