#include <gtest/gtest.h>

#include <arpa/inet.h>

#include <algorithm>
#include <string>
#include <vector>

#include "store/CaptureFile.h"
#include "store/PacketBuffer.h"
#include "store/PacketSummary.h"
#include "support/TsharkTsv.h"

using namespace pelsid;
using pelsid::test::tsharkNumber;

namespace {

std::string fixture(const std::string& name) {
    return std::string(PELSID_TEST_DATA) + "/" + name;
}

// The upper-layer protocol tshark names: the last next-header field it shows.
// An ICMPv6 message counts as ICMPv6 even when it quotes a fragment.
long long upperLayer(pelsid::test::TsharkRow& r) {
    if (!r["icmpv6.type"].empty()) return 58;
    for (const char* f : {"ipv6.fraghdr.nxt", "ipv6.hopopts.nxt", "ipv6.nxt"})
        if (!r[f].empty()) return tsharkNumber(r[f]);
    return 0;
}

class AgainstTshark : public ::testing::TestWithParam<const char*> {};

// Every decoded field of real IPv4 and IPv6 frames, plain and inside 802.1Q
// and QinQ tags, fragments and IPv4 options among them, as tshark shows them.
TEST_P(AgainstTshark, EveryFieldAgrees) {
    const std::string name = GetParam();
    const CaptureFile file = readCaptureFile(fixture(name + ".pcap"));
    auto rows = pelsid::test::readTsharkTsv(fixture(name + ".tshark.tsv"));
    ASSERT_EQ(file.recordCount(), int(rows.size()));
    PacketBuffer b;
    file.insertInto(b);
    int v6 = 0, tagged = 0, laterFragments = 0;
    for (int n = 1; n <= int(rows.size()); ++n) {
        auto& r = rows[std::size_t(n - 1)];
        const PacketFields& f = b.fields(n);
        SCOPED_TRACE(name + " frame " + std::to_string(n) + ": " + packetSummary(b.frame(n)));
        EXPECT_EQ(b.frameLength(n), std::min<int>(int(tsharkNumber(r["frame.len"])), 1601));
        EXPECT_EQ(b.getEtherType(n), tsharkNumber(r["eth.type"]));
        const std::string outer = r["ieee8021ad.id"].empty() ? r["vlan.id"] : r["ieee8021ad.id"];
        EXPECT_EQ(f.tagged, !outer.empty());
        EXPECT_EQ(f.vlanId, tsharkNumber(outer));
        tagged += f.tagged;
        const bool isV6 = !r["ipv6.src"].empty(), isV4 = !isV6 && !r["ip.src"].empty();
        EXPECT_EQ(f.isIP(), isV4 || isV6);
        if (!f.isIP()) continue;
        const int protocol = int(isV6 ? upperLayer(r) : tsharkNumber(r["ip.proto"]));
        EXPECT_EQ(b.getIPVersion(n), isV6 ? 6 : 4);
        EXPECT_EQ(b.getIPProtocol(n), protocol);
        EXPECT_EQ(b.getTTL(n), tsharkNumber(r[isV6 ? "ipv6.hlim" : "ip.ttl"]));
        EXPECT_EQ(b.getTOS(n), tsharkNumber(r[isV6 ? "ipv6.tclass" : "ip.dsfield"]));
        EXPECT_EQ(b.getIPTotalLength(n),
                  isV6 ? 40 + tsharkNumber(r["ipv6.plen"]) : tsharkNumber(r["ip.len"]));
        EXPECT_EQ(b.getSrcIPText(n), r[isV6 ? "ipv6.src" : "ip.src"]);
        EXPECT_EQ(b.getDstIPText(n), r[isV6 ? "ipv6.dst" : "ip.dst"]);
        if (isV6) {
            ++v6;
            EXPECT_EQ(b.getIPHeaderLength(n), 0);
            EXPECT_EQ(b.getIPChecksum(n), 0);
            // An ICMPv6 error quotes a packet whose fragment header tshark also shows.
            if (protocol != 58) {
                EXPECT_EQ(b.getIPID(n), tsharkNumber(r["ipv6.fraghdr.ident"]));
                EXPECT_EQ(b.getFragOffset(n), tsharkNumber(r["ipv6.fraghdr.offset"]));
                EXPECT_EQ(b.getFlagMF(n), tsharkNumber(r["ipv6.fraghdr.more"]) != 0);
            }
        } else {
            EXPECT_EQ(b.getIPHeaderLength(n) * 4, tsharkNumber(r["ip.hdr_len"]));
            EXPECT_EQ(b.getIPID(n), tsharkNumber(r["ip.id"]));
            EXPECT_EQ(b.getIPChecksum(n), tsharkNumber(r["ip.checksum"]));
            EXPECT_EQ(b.getFragOffset(n), tsharkNumber(r["ip.frag_offset"]));
            EXPECT_EQ(b.getFlagDF(n), tsharkNumber(r["ip.flags.df"]) != 0);
            EXPECT_EQ(b.getFlagMF(n), tsharkNumber(r["ip.flags.mf"]) != 0);
        }
        // A later fragment has no transport header (tshark, not reassembling,
        // shows none); an ICMP error's quoted ports are not the packet's own.
        const bool later = b.getFragOffset(n) != 0;
        laterFragments += later;
        const bool tcp = protocol == 6 && !later, udp = protocol == 17 && !later;
        EXPECT_EQ(b.getTCPSrcPort(n), tcp ? tsharkNumber(r["tcp.srcport"]) : 0);
        EXPECT_EQ(b.getTCPDstPort(n), tcp ? tsharkNumber(r["tcp.dstport"]) : 0);
        EXPECT_EQ(b.getUDPSrcPort(n), udp ? tsharkNumber(r["udp.srcport"]) : 0);
        EXPECT_EQ(b.getUDPDstPort(n), udp ? tsharkNumber(r["udp.dstport"]) : 0);
    }
    EXPECT_GT(v6, 10);
    if (name == "veth_vlan") {
        EXPECT_GT(tagged, 20);
        EXPECT_EQ(laterFragments, 4);
    }
}

INSTANTIATE_TEST_SUITE_P(RealCaptures, AgainstTshark, ::testing::Values("veth_mixed", "veth_vlan"));

std::vector<std::uint8_t> ethernet(std::uint16_t type, std::vector<std::uint8_t> rest) {
    std::vector<std::uint8_t> f(12, 0x02);
    f.push_back(std::uint8_t(type >> 8));
    f.push_back(std::uint8_t(type));
    f.insert(f.end(), rest.begin(), rest.end());
    return f;
}

// IPv6 from fd00::1 to fd00::2, hop limit 9, with `next` and the bytes that follow.
std::vector<std::uint8_t> ipv6(std::uint8_t next, std::vector<std::uint8_t> rest) {
    std::vector<std::uint8_t> p = {0x6A, 0xB0, 0, 0, 0, std::uint8_t(rest.size()), next, 9};
    for (int k = 0; k < 2; ++k) {
        p.insert(p.end(), {0xFD, 0});
        p.insert(p.end(), 13, 0);
        p.push_back(std::uint8_t(k + 1));
    }
    p.insert(p.end(), rest.begin(), rest.end());
    return p;
}

const std::vector<std::uint8_t> kUdpPorts = {0x04, 0x01, 0x00, 0x35, 0, 8, 0, 0};

TEST(HeaderWalk, BoundsOnTagsAndExtensionHeaders) {
    // Four tags are walked; a fifth leaves the frame a non-IP one.
    std::vector<std::uint8_t> ip4 = {0x45, 0, 0,  28, 0, 0, 0,  0, 64, 17,
                                     0,    0, 10, 0,  0, 1, 10, 0, 0,  2};
    ip4.insert(ip4.end(), kUdpPorts.begin(), kUdpPorts.end());
    std::vector<std::uint8_t> inner = ip4;
    for (int tags = 1; tags <= 5; ++tags) {
        inner.insert(inner.begin(), {0x00, std::uint8_t(tags), 0x08, 0x00});
        if (tags > 1) inner[2] = 0x81, inner[3] = 0x00;
        const auto frame = ethernet(0x8100, inner);
        const PacketFields f = decodeHeaders(frame.data(), int(frame.size()));
        SCOPED_TRACE(tags);
        EXPECT_EQ(f.etherType, 0x8100);
        EXPECT_EQ(f.vlanId, tags);  // the outermost
        EXPECT_EQ(f.isIP(), tags <= 4);
        EXPECT_EQ(f.udpDstPort, tags <= 4 ? 53 : 0);
    }
    // Hop-by-hop, routing and destination options before UDP; then more
    // headers than the walk follows, which ends on the last one it reached.
    std::vector<std::uint8_t> chain = kUdpPorts;
    const std::uint8_t kinds[] = {60, 43, 0};
    std::uint8_t next = 17;
    for (int k = 0; k < 10; ++k) {
        std::vector<std::uint8_t> header = {next, 0, 0, 0, 0, 0, 0, 0};
        chain.insert(chain.begin(), header.begin(), header.end());
        next = kinds[k % 3];
        const auto frame = ethernet(0x86DD, ipv6(next, chain));
        const PacketFields f = decodeHeaders(frame.data(), int(frame.size()));
        SCOPED_TRACE(k);
        EXPECT_EQ(f.ipProtocol, k < 8 ? 17 : kinds[(k - 8) % 3]);
        EXPECT_EQ(f.udpSrcPort, k < 8 ? 1025 : 0);
        EXPECT_EQ(f.ipTTL, 9);
        EXPECT_EQ(f.ipTOS, 0xAB);
        EXPECT_EQ(addressText(f, f.ipDst), "fd00::2");
    }
}

// An extension header of `bytes` whose length field holds `units`; its
// other bytes are non-zero, so that a length or next header read from the
// wrong byte shows. The next header (byte 0) is filled in by the chain.
std::vector<std::uint8_t> extension(std::uint8_t units, std::size_t bytes) {
    std::vector<std::uint8_t> h(bytes, 0xA5);
    h[1] = units;
    return h;
}

// A Fragment header at `offset` (in 8-byte units) with id 0xDEADBEEF.
std::vector<std::uint8_t> fragmentHeader(std::uint16_t offset, bool more) {
    return {0,
            0xA5,
            std::uint8_t(offset >> 5),
            std::uint8_t(offset << 3 | (more ? 1 : 0)),
            0xDE,
            0xAD,
            0xBE,
            0xEF};
}

struct Ipv6Chain {
    const char* name;
    std::vector<std::pair<std::uint8_t, std::vector<std::uint8_t>>> headers;  // kind, bytes
    int protocol;
    int fragmentOffset;
    bool moreFragments;
};

TEST(HeaderWalk, Ipv6FragmentsAndCutFrames) {
    // Headers longer than 8 bytes, fragments first, later and last behind
    // other headers: a first fragment carries the ports, a later one not;
    // id, offset and MF come from the Fragment header.
    const Ipv6Chain chains[] = {
        {"fragment, first", {{44, fragmentHeader(0, true)}}, 17, 0, true},
        {"fragment, later", {{44, fragmentHeader(1, true)}}, 17, 1, true},
        {"hop-by-hop 16, routing 24",
         {{0, extension(1, 16)}, {43, extension(2, 24)}},
         17,
         0,
         false},
        {"hop-by-hop, routing, first fragment",
         {{0, extension(0, 8)}, {43, extension(1, 16)}, {44, fragmentHeader(0, true)}},
         17,
         0,
         true},
        {"hop-by-hop, last fragment",
         {{0, extension(2, 24)}, {44, fragmentHeader(185, false)}},
         17,
         185,
         false},
        {"routing, later fragment, options after it",
         {{43, extension(0, 8)}, {44, fragmentHeader(0x1FFF, true)}, {60, extension(0, 8)}},
         60,
         0x1FFF,
         true},
        {"destination, authentication 24, mobility",
         {{60, extension(0, 8)}, {51, extension(4, 24)}, {135, extension(0, 8)}},
         17,
         0,
         false},
    };
    for (const Ipv6Chain& c : chains) {
        SCOPED_TRACE(c.name);
        std::vector<std::uint8_t> rest;
        bool fragment = false;
        for (std::size_t k = 0; k < c.headers.size(); ++k) {
            auto h = c.headers[k].second;
            h[0] = k + 1 < c.headers.size() ? c.headers[k + 1].first : 17;
            rest.insert(rest.end(), h.begin(), h.end());
            fragment |= c.headers[k].first == 44;
        }
        rest.insert(rest.end(), kUdpPorts.begin(), kUdpPorts.end());
        const bool later = c.fragmentOffset != 0;
        const auto frame = ethernet(0x86DD, ipv6(c.headers[0].first, rest));
        const PacketFields f = decodeHeaders(frame.data(), int(frame.size()));
        EXPECT_EQ(f.ipProtocol, c.protocol);
        EXPECT_EQ(f.ipTotalLength, 40u + rest.size());
        EXPECT_EQ(f.ipID, fragment ? 0xDEADBEEFu : 0u);
        EXPECT_EQ(f.ipFragOffset, c.fragmentOffset);
        EXPECT_EQ(f.flagMF, c.moreFragments);
        // Every prefix decodes without reading past it; a later fragment never has ports.
        for (std::size_t n = frame.size() - 16; n <= frame.size(); ++n) {
            const PacketFields g = decodeHeaders(frame.data(), int(n));
            const int port = later                   ? 0
                             : n >= frame.size() - 6 ? 1025
                             : n == frame.size() - 7 ? 1024
                                                     : 0;
            EXPECT_EQ(g.udpSrcPort, port) << n;
        }
    }
    // A Fragment header one byte short is not read: the walk ends at it.
    const auto shortFragment = ethernet(0x86DD, ipv6(44, fragmentHeader(8, true)));
    const PacketFields s = decodeHeaders(shortFragment.data(), int(shortFragment.size()) - 1);
    EXPECT_EQ(s.ipProtocol, 44);
    EXPECT_EQ(s.ipID, 0u);
    // Every prefix of a tagged IPv6 frame decodes without reading past it,
    // and the summary says as much as the prefix holds.
    const auto frame = ethernet(0x88A8, [] {
        std::vector<std::uint8_t> v = {0, 20, 0x81, 0x00, 0, 30, 0x86, 0xDD};
        const auto p = ipv6(17, kUdpPorts);
        v.insert(v.end(), p.begin(), p.end());
        return v;
    }());
    for (std::size_t n = 0; n <= frame.size(); ++n) {
        const std::vector<std::uint8_t> cut(frame.begin(), frame.begin() + std::ptrdiff_t(n));
        const PacketFields f = decodeHeaders(cut.data(), int(cut.size()));
        // A missing byte reads as 0: half a port is its high byte.
        const int port = n >= frame.size() - 6 ? 1025 : n == frame.size() - 7 ? 1024 : 0;
        EXPECT_EQ(f.udpSrcPort, port) << n;
        EXPECT_FALSE(packetSummary(cut).empty());
    }
    EXPECT_EQ(packetSummary(frame),
              "70 bytes  VLAN 20  VLAN 30  [fd00::1]:1025 -> [fd00::2]:53  UDP");
}

TEST(HeaderWalk, AddressAxisKeepsAHostInOnePlace) {
    auto place = [](const char* text) {
        PacketFields f;
        f.network = IpNetwork::IPv6;
        inet_pton(AF_INET6, text, f.ipSrc);
        return addressAxisValue(f, f.ipSrc);
    };
    // Hosts of one network lie apart, the same interface identifier in two
    // networks too; every value fits the 16-bit axis.
    EXPECT_NE(place("2001:db8:1::1"), place("2001:db8:1::2"));
    EXPECT_NE(place("2001:db8:1::1"), place("2001:db8:2::1"));
    EXPECT_EQ(place("2001:db8:1::1"), place("2001:db8:1:0:0:0:0:1"));
    EXPECT_EQ(place("::1"), 1);
    EXPECT_EQ(place("ffff:ffff::"), 0);
    PacketFields v4;
    v4.network = IpNetwork::IPv4;
    v4.ipSrc[0] = 10, v4.ipSrc[1] = 1, v4.ipSrc[2] = 200;
    EXPECT_EQ(addressAxisValue(v4, v4.ipSrc), 10 * 256 + 1);
}

}  // namespace
