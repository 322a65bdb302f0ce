#pragma once
#include <ostream>
#include <string>

#include "store/ReadOptions.h"

namespace pelsid {

class PacketBuffer;

/// Writes a header line and one tab-separated line per held packet, oldest
/// first, with the decoded header fields as the getters give them and last
/// the capture time (seconds since the epoch; empty when unknown).
void writeFieldsReport(const PacketBuffer& buffer, std::ostream& out);

/// `pelsid --fields [--from N] [--filter EXPR] FILE`: loads the chosen frames
/// of FILE as the File menu does, writes the report to `out` and every message
/// to `err`. Returns the exit status: 1 when the file cannot be read or is no
/// file of packets, else 0.
int runFieldsCommand(const std::string& path, const LoadChoice& choice, std::ostream& out,
                     std::ostream& err);
inline int runFieldsCommand(const std::string& path, std::ostream& out, std::ostream& err) {
    return runFieldsCommand(path, {}, out, err);
}

}  // namespace pelsid
