#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <sstream>

#include "store/CaptureFile.h"
#include "store/PacketFields.h"
#include "store/PacketSummary.h"
#include "support/FieldPackets.h"
#include "support/TsharkTsv.h"

using namespace pelsid;

namespace {

// tshark's tcp.flags.str: "·······AP···" with a letter where a flag is set.
std::string flagNames(const std::string& str) {
    static const std::map<char, const char*> kNames = {{'S', "SYN"}, {'A', "ACK"}, {'F', "FIN"},
                                                       {'R', "RST"}, {'P', "PSH"}, {'U', "URG"},
                                                       {'E', "ECE"}, {'C', "CWR"}, {'N', "NS"}};
    std::string out;
    for (const char* order : {"S", "A", "F", "R", "P", "U", "E", "C", "N"})
        if (str.find(order[0]) != std::string::npos)
            out += (out.empty() ? "" : ", ") + std::string(kNames.at(order[0]));
    return "[" + out + "]";
}

// Every frame of a capture against what tshark printed for it.
void expectAgreesWithTshark(const char* capture, const char* tsv) {
    const CaptureFile file = readCaptureFile(std::string(PELSID_TEST_DATA) + "/" + capture);
    const auto rows = pelsid::test::readTsharkTsv(std::string(PELSID_TEST_DATA) + "/" + tsv);
    ASSERT_EQ(file.recordCount(), int(rows.size()));
    for (int i = 0; i < file.recordCount(); ++i) {
        const std::string s = packetSummary(file.record(i));
        auto row = rows[std::size_t(i)];
        SCOPED_TRACE(std::string(capture) + " frame " + std::to_string(i + 1) + ": " + s);
        if (std::stoi(row["frame.len"]) <= 1601) {
            EXPECT_EQ(s.rfind(row["frame.len"] + " bytes  ", 0), 0u);
        }
        const bool v6 = !row["ipv6.src"].empty();
        const std::string src = v6 ? row["ipv6.src"] : row["ip.src"];
        const std::string dst = v6 ? row["ipv6.dst"] : row["ip.dst"];
        auto at = [v6](const std::string& a, const std::string& port) {
            return v6 ? "[" + a + "]:" + port : a + ":" + port;
        };
        // ICMP first: an error carries the datagram it answers, whose ports tshark shows too.
        if (!row["icmp.type"].empty() || !row["icmpv6.type"].empty()) {
            EXPECT_NE(s.find(src + " -> " + dst + "  " + (v6 ? "IPv6-ICMP " : "ICMP ")),
                      std::string::npos);
        } else if (!row["tcp.srcport"].empty()) {
            EXPECT_NE(s.find(at(src, row["tcp.srcport"]) + " -> " + at(dst, row["tcp.dstport"]) +
                             "  TCP " + flagNames(row["tcp.flags.str"])),
                      std::string::npos);
        } else if (!row["udp.srcport"].empty()) {
            EXPECT_NE(s.find(at(src, row["udp.srcport"]) + " -> " + at(dst, row["udp.dstport"]) +
                             "  UDP"),
                      std::string::npos);
        } else if (row["arp.opcode"] == "1") {
            EXPECT_NE(s.find("ARP who-has " + row["arp.dst.proto_ipv4"] + " tell " +
                             row["arp.src.proto_ipv4"]),
                      std::string::npos);
        } else if (row["arp.opcode"] == "2") {
            EXPECT_NE(
                s.find("ARP " + row["arp.src.proto_ipv4"] + " is-at " + row["arp.src.hw_mac"]),
                std::string::npos);
        } else {
            ADD_FAILURE() << "frame kind not covered";
        }
    }
}

}  // namespace

TEST(PacketSummary, AgreesWithTsharkOnRealCaptures) {
    expectAgreesWithTshark("veth_mixed.pcap", "veth_mixed.summary.tsv");
    expectAgreesWithTshark("lo_ethernet.pcap", "lo_ethernet.summary.tsv");
}

TEST(PacketSummary, NamesIcmpTypesAndOtherFrames) {
    const CaptureFile file = readCaptureFile(std::string(PELSID_TEST_DATA) + "/veth_mixed.pcap");
    EXPECT_EQ(packetSummary(file.record(0)),
              "86 bytes  :: -> ff02::1:ff00:a  IPv6-ICMP neighbor solicitation");
    // Behind a hop-by-hop options header.
    EXPECT_EQ(packetSummary(file.record(2)),
              "110 bytes  :: -> ff02::16  IPv6-ICMP multicast listener report v2");
    EXPECT_EQ(packetSummary(file.record(6)), "98 bytes  10.0.0.1 -> 10.0.0.2  ICMP echo request");

    std::vector<std::uint8_t> lldp(60, 0);
    lldp[0] = 0x01, lldp[5] = 0x0e, lldp[6] = 0x02, lldp[11] = 0x0a, lldp[12] = 0x88,
    lldp[13] = 0xcc;
    EXPECT_EQ(packetSummary(lldp),
              "60 bytes  02:00:00:00:00:0a -> 01:00:00:00:00:0e  EtherType 0x88cc");
    pelsid::test::Ipv4Header h;
    h.protocol = 2;  // IGMP: the name table's keyword, no ports
    EXPECT_EQ(packetSummary(pelsid::test::ipv4Frame(h)), "60 bytes  10.1.2.3 -> 192.168.0.1  IGMP");
}

TEST(PacketSummary, CutFramesAndHostileHeadersStayInside) {
    const CaptureFile file = readCaptureFile(std::string(PELSID_TEST_DATA) + "/veth_mixed.pcap");
    // Every prefix of every frame: no read past the end (the sanitizers watch).
    for (int i = 0; i < file.recordCount(); ++i) {
        const auto frame = file.record(i);
        for (std::size_t n = 0; n <= frame.size(); ++n)
            EXPECT_FALSE(packetSummary(frame.first(n)).empty());
    }
    EXPECT_EQ(packetSummary(std::span<const std::uint8_t>()), "0 bytes  Ethernet, cut short");
    // IPv6 whose extension headers claim more than the frame holds, and loop.
    std::vector<std::uint8_t> v6(62, 0);
    v6[12] = 0x86, v6[13] = 0xdd, v6[14] = 0x60, v6[20] = 0;  // next: hop-by-hop
    v6[54] = 0, v6[55] = 255;                                 // says 2 KiB more, next hop-by-hop
    EXPECT_NE(packetSummary(v6).find("HOPOPT"), std::string::npos);
    pelsid::test::Ipv4Header h;
    auto v4 = pelsid::test::ipv4Frame(h);
    v4[14] = 0x4F;  // a header length of 60 in a 60-byte frame: no ports to read
    EXPECT_EQ(packetSummary(v4), "60 bytes  10.1.2.3 -> 192.168.0.1  TCP");
    // At the edge of what a line shows: TCP flags in a frame that ends right
    // after them; an ARP request whole, and one byte short.
    auto syn = pelsid::test::ipv4Frame(pelsid::test::Ipv4Header{});
    syn.resize(48);
    syn[47] = 0x02;
    EXPECT_NE(packetSummary(syn).find(" [SYN]"), std::string::npos) << packetSummary(syn);
    syn.resize(47);
    EXPECT_EQ(packetSummary(syn).find(" ["), std::string::npos) << packetSummary(syn);
    auto arp = pelsid::test::arpFrame();
    arp[16] = 0x08;  // for IPv4
    arp.resize(42);
    EXPECT_NE(packetSummary(arp), "42 bytes  ARP");
    arp.resize(41);
    EXPECT_EQ(packetSummary(arp), "41 bytes  ARP");
}

TEST(PacketSummary, DottedQuadsAtEveryDigitCount) {
    const std::uint8_t a[4] = {0, 9, 10, 99}, b[4] = {100, 199, 200, 255};
    EXPECT_EQ(dottedQuad(a), "0.9.10.99");
    EXPECT_EQ(dottedQuad(b), "100.199.200.255");
}
