#include "store/IpFlagsLabel.h"

#include "store/PacketBuffer.h"

namespace pelsid {

std::string ipFlagsLabel(const PacketBuffer& buffer, int packetNumber) {
    std::string label;
    if (buffer.getFlagReserved(packetNumber)) label += "reserved";
    if (buffer.getFlagDF(packetNumber)) label += "DF";
    if (buffer.getFlagMF(packetNumber)) label += "MF";
    return label;
}

}  // namespace pelsid
