#pragma once
#include <string>

#include "store/PacketFields.h"

namespace pelsid {

/// The three IPv4 flags as one number 0..7, the reserved flag as the high
/// bit and MF as the low bit, so the flags field can be plotted.
inline int ipFlagsValue(bool reserved, bool df, bool mf) {
    return (reserved ? 4 : 0) | (df ? 2 : 0) | (mf ? 1 : 0);
}

/// Names of the set flags run together in the order "reserved", "DF", "MF";
/// empty when none is set.
std::string ipFlagsLabel(bool reserved, bool df, bool mf);
inline std::string ipFlagsLabel(const PacketFields& f) {
    return ipFlagsLabel(f.flagReserved, f.flagDF, f.flagMF);
}

}  // namespace pelsid
