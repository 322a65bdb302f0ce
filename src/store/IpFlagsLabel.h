#pragma once
#include <string>

namespace pelsid {

class PacketBuffer;

/// The names of the packet's set IP flags run together: "reserved", "DF",
/// "MF" in that order; empty when none is set.
std::string ipFlagsLabel(const PacketBuffer& buffer, int packetNumber);

}  // namespace pelsid
