#include "store/IpFlags.h"

namespace pelsid {

std::string ipFlagsLabel(bool reserved, bool df, bool mf) {
    std::string label;
    if (reserved) label += "reserved";
    if (df) label += "DF";
    if (mf) label += "MF";
    return label;
}

}  // namespace pelsid
