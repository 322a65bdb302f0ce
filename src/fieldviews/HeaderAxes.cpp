#include "fieldviews/HeaderAxes.h"

#include <climits>
#include <cmath>

#include "store/IpFlags.h"
#include "store/PacketBuffer.h"
#include "store/ProtocolNames.h"

namespace pelsid {

const std::array<std::string_view, kAxisCount> kAxisCaptions = {
    "packet length",      "Ethertype",          "IP Version",        "IP Header Len",
    "IP Diff Services",   "IP Total Length",    "IP Identification", "IP Flags",
    "IP Fragment Offset", "TTL",                "IP Transport Protocol",
    "IP Header Checksum", "Source IP",          "Dest IP",           "TCP Source Port",
    "TCP Dest Port",      "UDP Source Port",    "UDP Dest Port",
};

int axisMaxRange(int axisIndex) {
    switch (axisIndex) {
        case 0: return 1518;
        case 2:
        case 3: return 16;
        case 4:
        case 9:
        case 10: return 256;
        case 7: return 8;
        case 8: return 8192;
        default: return 65536;
    }
}

namespace {

AxisSample decimal(int value) {
    return {value, std::to_string(value), 0};
}

}  // namespace

AxisSample axisSample(const PacketBuffer& b, int n, int axisIndex, ProtocolLabel protocolLabel) {
    switch (axisIndex) {
        case 0: return decimal(b.getLastByteIndex(n) + 1);
        case 1: return {b.getEtherType(n), b.getEtherTypeText(n), 0};
        case 2: return decimal(b.getIPVersion(n));
        case 3: return decimal(b.getIPHeaderLength(n));
        case 4: return decimal(b.getTOS(n));
        case 5: return decimal(b.getIPTotalLength(n));
        case 6: return decimal(b.getIPID(n));
        case 7: {
            const bool r = b.getFlagReserved(n), df = b.getFlagDF(n), mf = b.getFlagMF(n);
            return {ipFlagsValue(r, df, mf), ipFlagsLabel(r, df, mf), 0};
        }
        case 8: return decimal(b.getFragOffset(n));
        case 9: return decimal(b.getTTL(n));
        case 10: {
            const int protocol = b.getIPProtocol(n);
            if (protocolLabel == ProtocolLabel::Number) return decimal(protocol);
            return {protocol, std::string(protocolName(protocol)), 0};
        }
        case 11: return decimal(b.getIPChecksum(n));
        case 12:
            return {b.getSrcIPOctet(n, 1) * 256 + b.getSrcIPOctet(n, 2), b.getSrcIPText(n), 0};
        case 13:
            return {b.getDstIPOctet(n, 1) * 256 + b.getDstIPOctet(n, 2), b.getDstIPText(n), 0};
        case 14: return decimal(b.getTCPSrcPort(n));
        case 15: return decimal(b.getTCPDstPort(n));
        case 16: return decimal(b.getUDPSrcPort(n));
        case 17: return decimal(b.getUDPDstPort(n));
        default: return {};
    }
}

bool isIPv4(const PacketBuffer& buffer, int packetNumber) {
    return buffer.getEtherType(packetNumber) == 0x0800;
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

AxisSample placedSample(const PacketBuffer& buffer, int packetNumber, int axisIndex,
                        ProtocolLabel protocolLabel, AxisDirection direction, int length) {
    AxisSample s = axisSample(buffer, packetNumber, axisIndex, protocolLabel);
    if (axisIndex >= 0 && axisIndex < kAxisCount)
        s.position = toPixel(scaleRange(int(direction), s.value, axisMaxRange(axisIndex), length));
    return s;
}

}  // namespace pelsid
