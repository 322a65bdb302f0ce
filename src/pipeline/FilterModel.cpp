#include "pipeline/FilterModel.h"

#include "pipeline/Rgb.h"
#include "store/ProtocolNames.h"

namespace pelsid {

ProtocolClass protocolClassOf(int protocol) {
    switch (protocol) {
        case 1:
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

std::uint32_t FilterModel::defaultColor(ProtocolClass c) {
    switch (c) {
        case ProtocolClass::TCP:
            return rgb(0, 255, 0);
        case ProtocolClass::UDP:
            return rgb(255, 128, 0);
        case ProtocolClass::ICMP:
            return rgb(0, 0, 255);
        case ProtocolClass::IGMP:
            return rgb(0, 0, 255);
        case ProtocolClass::OtherTransport:
            return rgb(255, 255, 128);
        case ProtocolClass::UnassignedTransport:
            return rgb(255, 128, 128);
    }
    return 0;
}

void FilterModel::reset() {
    for (int i = 0; i < kProtocolClassCount; ++i) {
        hidden_[i] = false;
        colors_[i] = defaultColor(ProtocolClass(i));
    }
    etherColor = rgb(128, 255, 128);
    ipColor = rgb(0, 128, 0);
}

std::uint32_t FilterModel::protocolColor(int protocol) const {
    const std::string_view k = protocolName(protocol);
    if (k == "UDP") return color(ProtocolClass::UDP);
    if (k == "TCP") return color(ProtocolClass::TCP);
    if (k == "ICMP") return color(ProtocolClass::ICMP);
    if (k == "IGMP") return color(ProtocolClass::IGMP);
    if (k == "Unassigned") return color(ProtocolClass::UnassignedTransport);
    return color(ProtocolClass::OtherTransport);
}

}  // namespace pelsid
