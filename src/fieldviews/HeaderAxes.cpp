#include "fieldviews/HeaderAxes.h"

#include <climits>
#include <cmath>

#include "store/IpFlags.h"
#include "store/ProtocolNames.h"

namespace pelsid {

const std::array<std::string_view, kAxisCount> kAxisCaptions = {
    "packet length",
    "Ethertype",
    "IP Version",
    "IP Header Len",
    "IP Diff Services",
    "IP Total Length",
    "IP Identification",
    "IP Flags",
    "IP Fragment Offset",
    "TTL",
    "IP Transport Protocol",
    "IP Header Checksum",
    "Source IP",
    "Dest IP",
    "TCP Source Port",
    "TCP Dest Port",
    "UDP Source Port",
    "UDP Dest Port",
};

int axisMaxRange(int axisIndex) {
    switch (axisIndex) {
        case 0:
            return 1518;
        case 2:
        case 3:
            return 16;
        case 4:
        case 9:
        case 10:
            return 256;
        case 7:
            return 8;
        case 8:
            return 8192;
        default:
            return 65536;
    }
}

namespace {

AxisSample decimal(int value) {
    return {value, std::to_string(value), 0};
}

}  // namespace

AxisSample axisSample(const PlayedPacket& packet, int axisIndex, ProtocolLabel protocolLabel) {
    const PacketFields& f = *packet.fields;
    switch (axisIndex) {
        case 0:
            return decimal(packet.length);
        case 1:
            return {f.etherType, etherTypeText(f), 0};
        case 2:
            return decimal(f.ipVersion);
        case 3:
            return decimal(f.ipHeaderLength);
        case 4:
            return decimal(f.ipTOS);
        case 5:
            return decimal(f.ipTotalLength);
        case 6:
            // An IPv6 fragment's 32-bit identification is plotted by its low 16 bits.
            return {int(f.ipID & 0xFFFF), std::to_string(f.ipID), 0};
        case 7:
            return {ipFlagsValue(f.flagReserved, f.flagDF, f.flagMF), ipFlagsLabel(f), 0};
        case 8:
            return decimal(f.ipFragOffset);
        case 9:
            return decimal(f.ipTTL);
        case 10:
            if (protocolLabel == ProtocolLabel::Number) return decimal(f.ipProtocol);
            return {f.ipProtocol, std::string(protocolName(f.ipProtocol)), 0};
        case 11:
            return decimal(f.ipChecksum);
        case 12:
            return {addressAxisValue(f, f.ipSrc), addressText(f, f.ipSrc), 0};
        case 13:
            return {addressAxisValue(f, f.ipDst), addressText(f, f.ipDst), 0};
        case 14:
            return decimal(f.tcpSrcPort);
        case 15:
            return decimal(f.tcpDstPort);
        case 16:
            return decimal(f.udpSrcPort);
        case 17:
            return decimal(f.udpDstPort);
        default:
            return {};
    }
}

double scaleRange(int actualValue, int maxRange, double displayValue) {
    if (displayValue <= 0 || maxRange == 0) return 0;
    return displayValue - displayValue * (double(actualValue) / double(maxRange));
}

double scaleRange(int counter, int actualValue, int maxRange, int displayValue) {
    if (displayValue <= 0 || maxRange == 0) return 0;
    if (counter == 1) return scaleRange(actualValue, maxRange, double(displayValue));
    if (counter == 2) return double(displayValue) * (double(actualValue) / double(maxRange));
    return 0;
}

int toPixel(double coordinate) {
    // Far-off coordinates are invisible anyway; keep them inside int.
    const double r = std::nearbyint(coordinate);
    if (r > INT_MAX / 2) return INT_MAX / 2;
    if (r < INT_MIN / 2) return INT_MIN / 2;
    return int(r);
}

AxisSample placedSample(const PlayedPacket& packet, int axisIndex, ProtocolLabel protocolLabel,
                        AxisDirection direction, int length) {
    AxisSample s = axisSample(packet, axisIndex, protocolLabel);
    if (axisIndex >= 0 && axisIndex < kAxisCount)
        s.position = toPixel(scaleRange(int(direction), s.value, axisMaxRange(axisIndex), length));
    return s;
}

}  // namespace pelsid
