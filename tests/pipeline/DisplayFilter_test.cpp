#include <gtest/gtest.h>

#include <QEventLoop>
#include <map>
#include <string>
#include <vector>

#include "pipeline/FilterModel.h"
#include "pipeline/Pipeline.h"
#include "store/CaptureFile.h"
#include "store/PacketBuffer.h"

using namespace pelsid;

namespace {
struct Thumbs : PacketView {
    std::vector<int> numbers;
    std::map<int, std::uint32_t> colors;
    void plot(const PlayedPacket&) override {}
    void plotThumbnail(const PlayedPacket& p) override {
        numbers.push_back(p.number);
        colors[p.number] = p.color;
    }
    void clear() override { numbers.clear(); }
};
struct OneView : ViewSet {
    Thumbs thumbs, others;
    PacketView& view(int i) override { return i == 0 ? thumbs : others; }
    bool isShown(int) override { return false; }
};

// The veth capture (tests/data/README): 42 frames of ARP, IPv6 and IPv4
// between 10.0.0.1 and 10.0.0.2; numbers as tcpdump lists them.
struct VethCapture : ::testing::Test {
    PacketBuffer buffer;
    FilterModel filters;
    OneView views;
    Pipeline pipeline{buffer, filters, views};

    void SetUp() override {
        const CaptureFile f = readCaptureFile(PELSID_TEST_DATA "/veth_mixed.pcap");
        ASSERT_EQ(f.insertInto(buffer), 42);
    }
    // Plays every packet as a range (the batches) and the numbers one by one
    // (dispatchPacket); both must agree.
    std::vector<int> shown() {
        views.thumbs.numbers.clear();
        pipeline.playPackets(1, 42);
        if (pipeline.busy()) {
            QEventLoop loop;
            QObject::connect(&pipeline, &Pipeline::finished, &loop, &QEventLoop::quit);
            loop.exec();
        }
        const std::vector<int> ranged = views.thumbs.numbers;
        views.thumbs.numbers.clear();
        for (int n = 1; n <= 42; ++n) pipeline.playPackets(n, n);
        EXPECT_EQ(views.thumbs.numbers, ranged);
        return ranged;
    }
    static std::vector<int> span(int first, int last) {
        std::vector<int> v;
        for (int n = first; n <= last; ++n) v.push_back(n);
        return v;
    }
    static std::vector<int> join(std::initializer_list<std::vector<int>> parts) {
        std::vector<int> v;
        for (const auto& p : parts) v.insert(v.end(), p.begin(), p.end());
        return v;
    }
};
}  // namespace

TEST_F(VethCapture, EachExpressionShowsExactlyItsPackets) {
    const std::vector<int> ip4 = join({span(7, 8), span(19, 30)});
    const struct {
        const char* expression;
        std::vector<int> shown;
    } cases[] = {
        {"ip6", join({span(1, 4), span(9, 18), span(31, 42)})},
        {"arp", {5, 6}},
        {"host 10.0.0.2", join({span(5, 8), span(19, 30)})},
        {"tcp[tcpflags] & tcp-syn != 0", {19, 20}},
        {"ip", ip4},
        {"", span(1, 42)},
    };
    for (const auto& c : cases) {
        std::string error;
        ASSERT_TRUE(filters.setDisplayFilter(c.expression, &error)) << error;
        EXPECT_EQ(shown(), c.shown) << c.expression;
    }
}

TEST_F(VethCapture, AToggleAndTheExpressionEachHide) {
    std::string error;
    ASSERT_TRUE(filters.setDisplayFilter("host 10.0.0.2", &error));
    filters.setHidden(ProtocolClass::TCP, true);
    // Left: the ARP pair, the IPv4 pings, the UDP datagram and its ICMP reply.
    EXPECT_EQ(shown(), join({span(5, 8), span(29, 30)}));
    // "tcp" matches TCP over IPv6 too, and the TCP toggle hides both.
    ASSERT_TRUE(filters.setDisplayFilter("tcp", &error));
    EXPECT_EQ(shown(), std::vector<int>{});
    filters.setHidden(ProtocolClass::TCP, false);
    filters.setHidden(ProtocolClass::OtherTransport, true);
    EXPECT_EQ(shown(), join({span(19, 28), span(31, 40)}));
    // "other legal" hides the ARP pair only: ICMPv6 counts as ICMP.
    ASSERT_TRUE(filters.setDisplayFilter("", &error));
    EXPECT_EQ(shown(), join({span(1, 4), span(7, 42)}));
}

TEST_F(VethCapture, ABadExpressionLeavesTheOneInForce) {
    std::string error;
    ASSERT_TRUE(filters.setDisplayFilter("arp", &error));
    for (const char* bad : {"tcp port", "host", "ip6 and and", "ether[9999999999]", "nonsense"}) {
        error.clear();
        EXPECT_FALSE(filters.setDisplayFilter(bad, &error)) << bad;
        EXPECT_FALSE(error.empty()) << bad;
        EXPECT_EQ(filters.displayFilter(), "arp");
    }
    EXPECT_EQ(shown(), (std::vector<int>{5, 6}));
    // A blank expression is no filter, and reset forgets the expression.
    ASSERT_TRUE(filters.setDisplayFilter("  ", &error));
    EXPECT_EQ(filters.displayFilter(), "");
    ASSERT_TRUE(filters.setDisplayFilter("arp", &error));
    filters.reset();
    EXPECT_EQ(shown(), span(1, 42));
}

TEST_F(VethCapture, TheFirstMatchingColourRuleWinsAndOthersKeepTheirProtocolColour) {
    auto colorOf = [&](int n) { return filters.colorOf(buffer.getIPProtocol(n), buffer.frame(n)); };
    // No rules: every packet its protocol colour, exactly as before.
    for (int n = 1; n <= 42; ++n)
        EXPECT_EQ(colorOf(n), filters.protocolColor(buffer.getIPProtocol(n)));

    std::string error;
    ASSERT_TRUE(filters.addColorRule("tcp[tcpflags] & tcp-syn != 0", 1, &error));
    ASSERT_TRUE(filters.addColorRule("host 10.0.0.2", 2, &error));
    ASSERT_TRUE(filters.addColorRule("ip6", 3, &error));
    EXPECT_FALSE(filters.addColorRule("tcp port", 4, &error));
    EXPECT_FALSE(error.empty());
    ASSERT_EQ(filters.colorRules().size(), 3u);
    EXPECT_EQ(colorOf(19), 1u);  // SYN, also host 10.0.0.2: the first rule wins
    EXPECT_EQ(colorOf(21), 2u);
    EXPECT_EQ(colorOf(5), 2u);   // ARP about 10.0.0.2
    EXPECT_EQ(colorOf(31), 3u);  // IPv6 SYN: tcp[] reads IPv4 only
    // The views get the colour with the packet.
    shown();
    EXPECT_EQ(views.thumbs.colors.at(19), 1u);
    EXPECT_EQ(views.thumbs.colors.at(31), 3u);
    EXPECT_EQ(views.thumbs.colors.at(29), 2u);
    filters.moveColorRule(1, 0);
    EXPECT_EQ(colorOf(19), 2u);
    filters.setColorRuleColor(0, 7);
    EXPECT_EQ(colorOf(19), 7u);
    filters.removeColorRule(0);
    EXPECT_EQ(colorOf(19), 1u);
    EXPECT_EQ(colorOf(21), filters.protocolColor(6));  // matches nothing now
    // Indexes outside the list change nothing.
    filters.removeColorRule(5);
    filters.moveColorRule(0, 2);
    filters.setColorRuleColor(-1, 9);
    EXPECT_EQ(filters.colorRules().size(), 2u);
    EXPECT_EQ(colorOf(19), 1u);
    filters.reset();
    EXPECT_TRUE(filters.colorRules().empty());
    EXPECT_EQ(colorOf(19), filters.protocolColor(6));
}
