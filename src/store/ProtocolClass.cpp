#include "store/ProtocolClass.h"

namespace pelsid {

ProtocolClass protocolClassOf(int protocol) {
    switch (protocol) {
        case 1:
        case 58:  // ICMPv6
            return ProtocolClass::ICMP;
        case 2:
            return ProtocolClass::IGMP;
        case 6:
            return ProtocolClass::TCP;
        case 17:
            return ProtocolClass::UDP;
        default:
            return protocol >= 138 && protocol <= 252 ? ProtocolClass::UnassignedTransport
                                                      : ProtocolClass::OtherTransport;
    }
}

}  // namespace pelsid
