#include <gtest/gtest.h>

#include <string>

#include "store/CaptureFile.h"
#include "store/PacketBuffer.h"
#include "store/PacketSummary.h"
#include "support/PcapBytes.h"

using namespace pelsid;

namespace {

struct LinkCase {
    const char* file;        // under tests/data/links, made by tools/fixtures/link_types.py
    const char* name;        // as the summary names the link type
    int notCarried;          // frames of it that carry no IP (beacon, LCP, SLARP)
    bool addresses = false;  // 802.11: the Ethernet addresses come from the frame
};

class LinkTypes : public ::testing::TestWithParam<LinkCase> {};

// Each link type's IPv4 and IPv6 frames are stored as Ethernet with every
// field decoded; frames that carry neither are skipped with one warning; the
// summary names the link type the frame was captured on.
TEST_P(LinkTypes, IpFramesBecomeEthernet) {
    const LinkCase& c = GetParam();
    const CaptureFile f =
        readCaptureFile(std::string(PELSID_TEST_DATA) + "/links/" + c.file + ".pcap");
    ASSERT_EQ(f.recordCount(), 2);
    PacketBuffer b;
    f.insertInto(b);
    EXPECT_EQ(b.getEtherType(1), 0x0800);
    EXPECT_EQ(b.getSrcIPText(1), "10.0.0.1");
    EXPECT_EQ(b.getDstIPText(1), "10.0.0.2");
    EXPECT_EQ(b.getTTL(1), 64);
    EXPECT_EQ(b.getIPID(1), 0x1234);
    EXPECT_EQ(b.getUDPSrcPort(1), 1000);
    EXPECT_EQ(b.getUDPDstPort(1), 2000);
    EXPECT_EQ(b.getEtherType(2), 0x86DD);
    EXPECT_EQ(b.getSrcIPText(2), "2001:db8::1");
    EXPECT_EQ(b.getDstIPText(2), "2001:db8::2");
    EXPECT_EQ(b.getTTL(2), 33);
    EXPECT_EQ(b.getIPProtocol(2), 6);
    EXPECT_EQ(b.getTCPSrcPort(2), 3000);
    EXPECT_EQ(b.getTCPDstPort(2), 80);
    EXPECT_EQ(b.getIPTotalLength(2), b.frameLength(2) - 14);  // nothing left of the link
    for (int n = 1; n <= 2; ++n)
        EXPECT_EQ(
            packetSummary(b.frame(n), b.linkType(n)).find(std::string("from ") + c.name + "  "),
            std::to_string(b.frameLength(n)).size() + 8)
            << packetSummary(b.frame(n), b.linkType(n));
    if (c.addresses) {
        // To the access point: for 02:..:02 from 02:..:01; from it the other way.
        EXPECT_EQ(packetSummary(b.frame(1)).find("02:00"), std::string::npos);  // IP says it
        EXPECT_EQ(b.getPacketByte(1, 5), 0x02);
        EXPECT_EQ(b.getPacketByte(1, 11), 0x01);
        EXPECT_EQ(b.getPacketByte(2, 5), 0x01);
        EXPECT_EQ(b.getPacketByte(2, 11), 0x02);
    }
    if (c.notCarried == 0) {
        EXPECT_TRUE(f.problems().empty());
    } else {
        ASSERT_EQ(f.problems().size(), 1u);
        EXPECT_NE(f.problems()[0].text.find("1 frame of link type " + std::string(c.name)),
                  std::string::npos)
            << f.problems()[0].text;
        EXPECT_NE(f.problems()[0].text.find(") was skipped;"), std::string::npos)
            << f.problems()[0].text;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Fixtures, LinkTypes,
    ::testing::Values(LinkCase{"null", "NULL", 0}, LinkCase{"loop", "LOOP", 0},
                      LinkCase{"ppp", "PPP", 1}, LinkCase{"ppp_hdlc", "PPP_SERIAL", 0},
                      LinkCase{"c_hdlc", "C_HDLC", 1}, LinkCase{"frelay", "FRELAY", 0},
                      LinkCase{"nflog", "NFLOG", 0}, LinkCase{"pktap", "PKTAP", 0},
                      LinkCase{"ipnet", "IPNET", 0}, LinkCase{"ipoib", "IPOIB", 0},
                      LinkCase{"arcnet_linux", "ARCNET_LINUX", 0},
                      LinkCase{"ieee802_11", "IEEE802_11", 1, true},
                      LinkCase{"ieee802_11_radio", "IEEE802_11_RADIO", 1, true},
                      LinkCase{"prism_header", "PRISM_HEADER", 1, true},
                      LinkCase{"ieee802_11_radio_avs", "IEEE802_11_RADIO_AVS", 1, true}),
    [](const auto& info) { return std::string(info.param.file); });

// The older ARCnet encapsulation (RFC 1051) puts the payload right after the
// protocol ID: IPv4 and ARP.
TEST(LinkTypes, OldArcnetFramesCarryTheirPayloadAfterTheProtocolId) {
    pelsid::test::Bytes b = pelsid::test::pcapHeader(129);  // ARCNET_LINUX
    const pelsid::test::Bytes ipPayload = {0x45, 0, 0,  20, 0, 1, 0,  0, 64, 17,
                                           0,    0, 10, 1,  2, 3, 10, 1, 2,  4};
    pelsid::test::Bytes arp(28);
    for (std::size_t i = 0; i < arp.size(); ++i) arp[i] = std::uint8_t(0x30 + i);
    for (const auto& [protocol, payload] : {std::pair{0xF0, ipPayload}, {0xF1, arp}}) {
        pelsid::test::Bytes frame = {0x01, 0x02, 0x00, 0x00, std::uint8_t(protocol)};
        frame.insert(frame.end(), payload.begin(), payload.end());
        pelsid::test::pcapFrame(b, frame);
    }
    const CaptureFile f = readCaptureBytes(b, "arcnet.pcap");
    ASSERT_EQ(f.recordCount(), 2);
    PacketBuffer buffer;
    f.insertInto(buffer);
    EXPECT_EQ(buffer.getEtherType(1), 0x0800);
    EXPECT_EQ(buffer.getSrcIPText(1), "10.1.2.3");
    EXPECT_EQ(buffer.getDstIPText(1), "10.1.2.4");
    EXPECT_EQ(buffer.getEtherType(2), 0x0806);
    for (int i = 0; i < 28; ++i) EXPECT_EQ(buffer.getPacketByte(2, 14 + i), arp[std::size_t(i)]);
}

}  // namespace
