#include "fieldviews/HeaderAxes.h"

#include <gtest/gtest.h>

#include "fieldviews/AxisMarks.h"
#include "fieldviews/AxisStore.h"
#include "store/IpFlags.h"
#include "support/FieldPackets.h"

using namespace pelsid;
using namespace pelsid::test;

namespace {
int vertical(int value, int axisIndex, double length) {
    return toPixel(scaleRange(value, axisMaxRange(axisIndex), length));
}
}  // namespace

TEST(HeaderAxes, VerticalPositionsOfEdgeValues) {
    EXPECT_EQ(vertical(128, 9, 300), 150);    // TTL
    EXPECT_EQ(vertical(0, 12, 300), 300);     // Source IP 0.x.x.x
    EXPECT_EQ(vertical(65535, 12, 300), 0);   // 255.255.x.x: 299.995 rounds to 0
    EXPECT_EQ(vertical(60, 0, 300), 288);     // packet length
    EXPECT_EQ(vertical(4, 2, 300), 225);      // IP Version
    EXPECT_EQ(vertical(10, 3, 300), 112);     // 112.5 to the even neighbour
    EXPECT_EQ(vertical(2048, 1, 400), 388);   // 387.5 to the even neighbour
    EXPECT_EQ(vertical(3036, 0, 300), -300);  // unclipped beyond the top
    EXPECT_EQ(scaleRange(1234, 65536, 0.0), 0.0);
    EXPECT_EQ(scaleRange(1234, 65536, -5.0), 0.0);
}

TEST(HeaderAxes, ScatterCounterSelectsTheDirection) {
    EXPECT_EQ(toPixel(scaleRange(2, 1518, 1518, 400)), 400);
    EXPECT_EQ(toPixel(scaleRange(2, 759, 1518, 400)), 200);
    EXPECT_EQ(toPixel(scaleRange(2, 60, 1518, 400)), 16);
    EXPECT_EQ(toPixel(scaleRange(1, 2048, 65536, 300)), 291);  // 290.625
    EXPECT_EQ(scaleRange(3, 759, 1518, 400), 0.0);
    EXPECT_EQ(scaleRange(2, 759, 1518, 0), 0.0);
}

TEST(HeaderAxes, CaptionsAndRanges) {
    ASSERT_EQ(kAxisCaptions.size(), 18u);
    EXPECT_EQ(kAxisCaptions[0], "packet length");
    EXPECT_EQ(kAxisCaptions[7], "IP Flags");
    EXPECT_EQ(kAxisCaptions[10], "IP Transport Protocol");
    EXPECT_EQ(kAxisCaptions[17], "UDP Dest Port");
    EXPECT_EQ(axisMaxRange(0), 1518);
    EXPECT_EQ(axisMaxRange(3), 16);
    EXPECT_EQ(axisMaxRange(7), 8);
    EXPECT_EQ(axisMaxRange(8), 8192);
    EXPECT_EQ(axisMaxRange(10), 256);
    EXPECT_EQ(axisMaxRange(15), 65536);
}

TEST(HeaderAxes, SamplesOfAPacket) {
    PacketBuffer buffer;
    Ipv4Header wanted;
    wanted.flags = 7;
    const int a = store(buffer, ipv4Frame(wanted));
    wanted.src = {10, 1, 200, 7};
    wanted.flags = 2;
    const int b = store(buffer, ipv4Frame(wanted));
    const int arp = store(buffer, arpFrame());
    auto played = [&buffer](int n) {
        return PlayedPacket{n, buffer.packetData(n), buffer.frameLength(n), &buffer.fields(n), 0,
                            {}};
    };

    EXPECT_EQ(axisSample(played(a), 0, ProtocolLabel::Name).label, "60");
    EXPECT_EQ(axisSample(played(a), 1, ProtocolLabel::Name).label, "0x800");
    EXPECT_EQ(axisSample(played(a), 10, ProtocolLabel::Name).label, "TCP");
    EXPECT_EQ(axisSample(played(a), 10, ProtocolLabel::Number).label, "6");

    // One /16: same position, full addresses as labels.
    const AxisSample sa =
        placedSample(played(a), 12, ProtocolLabel::Name, AxisDirection::Vertical, 300);
    const AxisSample sb =
        placedSample(played(b), 12, ProtocolLabel::Name, AxisDirection::Vertical, 300);
    EXPECT_EQ(sa.position, sb.position);
    EXPECT_EQ(sa.label, "10.1.2.3");
    EXPECT_EQ(sb.label, "10.1.200.7");

    // Flags plotted as a 3-bit field, reserved flag high.
    EXPECT_EQ(axisSample(played(a), 7, ProtocolLabel::Name).value, 7);
    EXPECT_EQ(axisSample(played(a), 7, ProtocolLabel::Name).label, "reservedDFMF");
    EXPECT_EQ(axisSample(played(b), 7, ProtocolLabel::Name).value, 2);
    EXPECT_EQ(axisSample(played(b), 7, ProtocolLabel::Name).label, "DF");

    EXPECT_TRUE(isIP(played(a)));
    EXPECT_FALSE(isIP(played(arp)));
    EXPECT_EQ(axisSample(played(arp), 1, ProtocolLabel::Name).label, "0x806");

    // A chooser with nothing selected: 0, empty, at position 0.
    const AxisSample none =
        placedSample(played(a), -1, ProtocolLabel::Name, AxisDirection::Vertical, 300);
    EXPECT_EQ(none.value, 0);
    EXPECT_EQ(none.label, "");
    EXPECT_EQ(none.position, 0);
}

TEST(IpFlags, LabelsAndValues) {
    EXPECT_EQ(ipFlagsLabel(false, false, false), "");
    EXPECT_EQ(ipFlagsLabel(false, true, true), "DFMF");
    EXPECT_EQ(ipFlagsLabel(true, false, true), "reservedMF");
    EXPECT_EQ(ipFlagsValue(true, false, false), 4);
    EXPECT_EQ(ipFlagsValue(false, false, true), 1);
}

TEST(AxisMarks, AxisPositionsRoundHalvesToEven) {
    const auto x = axisPositions(4, 601);
    EXPECT_EQ(x[0], 0);
    EXPECT_EQ(x[1], 200);
    EXPECT_EQ(x[2], 401);
    EXPECT_EQ(x[3], 601);
    const auto two = axisPositions(2, 600);
    EXPECT_EQ(two[0], 0);
    EXPECT_EQ(two[1], 600);
    const auto many = axisPositions(18, 600);
    EXPECT_EQ(many[17], 600);
    EXPECT_EQ(many[1], 35);  // 35.29
}

TEST(AxisMarks, LabelMovesAboveThePointAtTheBottom) {
    EXPECT_EQ(labelTop(100, 400, 13), 100);
    EXPECT_EQ(labelTop(386, 400, 13), 386);
    EXPECT_EQ(labelTop(387, 400, 13), 374);
    EXPECT_EQ(labelTop(400, 400, 13), 387);
}

TEST(AxisStore, DefaultsAndWrites) {
    AxisStore store;
    for (int k = 1; k <= 18; ++k) EXPECT_EQ(store.parallel(k), k - 1);
    EXPECT_EQ(store.scatter(1), 1);
    EXPECT_EQ(store.scatter(2), 2);
    EXPECT_EQ(store.combined(1), 12);
    EXPECT_EQ(store.combined(2), 15);
    store.setParallel(18, 3);
    store.setDefaults();
    EXPECT_EQ(store.parallel(18), 17);
}

TEST(HeaderAxes, Ipv6PacketsAreIpOnTheAxesIpv6Has) {
    // An IPv6 ICMPv6 echo from fd00::1 to fd00::2, hop limit 64, in an 802.1Q tag.
    std::vector<std::uint8_t> f(12, 0x02);
    f.insert(f.end(), {0x81, 0x00, 0x00, 0x07, 0x86, 0xDD, 0x60, 0, 0, 0, 0, 8, 58, 64});
    for (std::uint8_t host : {1, 2}) {
        f.insert(f.end(), {0xFD, 0x00});
        f.insert(f.end(), 13, 0);
        f.push_back(host);
    }
    f.insert(f.end(), {128, 0, 0, 0, 0, 1, 0, 1});
    PacketBuffer buffer;
    const int n = store(buffer, f);
    const PlayedPacket p{n, buffer.packetData(n), int(f.size()), &buffer.fields(n), 0, {}};
    EXPECT_TRUE(isIP(p));
    EXPECT_EQ(axisSample(p, 1, ProtocolLabel::Name).label, "0x8100");  // the frame's own
    EXPECT_EQ(axisSample(p, 2, ProtocolLabel::Name).value, 6);
    EXPECT_EQ(axisSample(p, 9, ProtocolLabel::Name).value, 64);
    EXPECT_EQ(axisSample(p, 10, ProtocolLabel::Name).label, "IPv6-ICMP");
    const AxisSample src = axisSample(p, 12, ProtocolLabel::Name);
    EXPECT_EQ(src.label, "fd00::1");   // the whole address
    EXPECT_EQ(src.value, 0xFD00 ^ 1);  // its groups folded to 16 bits
    EXPECT_EQ(axisSample(p, 13, ProtocolLabel::Name).value, 0xFD00 ^ 2);
    // No header length or checksum in IPv6: those axes have no value for it.
    for (int axis = 0; axis < kAxisCount; ++axis)
        EXPECT_EQ(hasAxisValue(p, axis), axis != 3 && axis != 11) << axis;
}
