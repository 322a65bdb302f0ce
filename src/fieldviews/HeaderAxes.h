#pragma once
#include <array>
#include <string>
#include <string_view>

#include "pipeline/PacketView.h"

namespace pelsid {

/// The header fields a header-field view can put on an axis. An axis index
/// 0..17 is also the entry's position in every axis chooser.
inline constexpr int kAxisCount = 18;

/// Chooser captions in chooser order.
extern const std::array<std::string_view, kAxisCount> kAxisCaptions;

/// Top of the axis: the value plotted at the far end.
int axisMaxRange(int axisIndex);

/// How the "IP Transport Protocol" axis labels a packet: the parallel plot
/// names the protocol, the scatter and combined views print its number.
enum class ProtocolLabel { Name, Number };

/// One packet on one axis: the value plotted, the text printed beside its
/// mark and (filled in by the view) the pixel position along the axis.
struct AxisSample {
    int value = 0;
    std::string label;
    int position = 0;
};

/// Value and label of a packet on axis `axisIndex`; an index outside 0..17
/// (a chooser with nothing selected) gives 0 and an empty label.
AxisSample axisSample(const PlayedPacket& packet, int axisIndex, ProtocolLabel protocolLabel);

/// Only IPv4 and IPv6 packets (inside VLAN tags too) carry the IP, TCP and UDP fields.
inline bool isIP(const PlayedPacket& packet) {
    return packet.fields->isIP();
}
/// The value plotted for the packet's source address.
inline int sourceAxisValue(const PacketFields& f) {
    return addressAxisValue(f, f.ipSrc);
}

/// "packet length" and "Ethertype" have a value for every frame.
inline bool isAlwaysValid(int axisIndex) {
    return axisIndex == 0 || axisIndex == 1;
}

/// True when the packet has a value on the axis: every frame on the two
/// always-valid axes, an IPv4 packet on all, an IPv6 packet on all but
/// "IP Header Len" and "IP Header Checksum", which IPv6 has not.
inline bool hasAxisValue(const PlayedPacket& packet, int axisIndex) {
    const IpNetwork network = packet.fields->network;
    if (isAlwaysValid(axisIndex) || network == IpNetwork::IPv4) return true;
    return network == IpNetwork::IPv6 && axisIndex != 3 && axisIndex != 11;
}

/// Position on a vertical axis `displayValue` pixels long, larger values
/// higher: 0 at y = displayValue, maxRange at y = 0. Unclipped, unrounded;
/// 0 when the axis has no length.
double scaleRange(int actualValue, int maxRange, double displayValue);

/// The scatter plot's mapping: counter 1 is its vertical axis (as above),
/// counter 2 its horizontal axis (0 at the left); any other counter gives 0.
double scaleRange(int counter, int actualValue, int maxRange, int displayValue);

/// A floating-point coordinate to its pixel, halves to the even neighbour.
int toPixel(double coordinate);

/// Which way an axis runs on its picture.
enum class AxisDirection { Vertical = 1, Horizontal = 2 };

/// The sample of a packet on an axis `length` pixels long, its position
/// rounded to the pixel. No field selected: value 0, empty label, position 0.
AxisSample placedSample(const PlayedPacket& packet, int axisIndex, ProtocolLabel protocolLabel,
                        AxisDirection direction, int length);

}  // namespace pelsid
