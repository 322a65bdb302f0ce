#include <gtest/gtest.h>

#include <thread>

#include "store/PacketMatcher.h"
#include "support/FieldPackets.h"

using namespace pelsid;
using pelsid::test::arpFrame;
using pelsid::test::ipv4Frame;
using pelsid::test::Ipv4Header;

namespace {
std::shared_ptr<const PacketMatcher> compiled(const std::string& expression) {
    std::string error;
    auto m = PacketMatcher::compile(expression, &error);
    EXPECT_TRUE(m) << expression << ": " << error;
    return m;
}
}  // namespace

TEST(PacketMatcher, MatchesWhatTheExpressionSays) {
    Ipv4Header web, dns, syn;
    dns.protocol = 17;
    dns.dstPort = 53;
    web.src = {10, 0, 0, 2};
    const auto webFrame = ipv4Frame(web), dnsFrame = ipv4Frame(dns), arp = arpFrame();
    auto synFrame = ipv4Frame(syn);
    synFrame[47] = 0x02;  // TCP flags: SYN

    const auto either = compiled("tcp port 80 or udp port 53");
    EXPECT_TRUE(either->matches(webFrame));
    EXPECT_TRUE(either->matches(dnsFrame));
    EXPECT_FALSE(either->matches(arp));
    EXPECT_TRUE(compiled("host 10.0.0.2")->matches(webFrame));
    EXPECT_FALSE(compiled("host 10.0.0.2")->matches(dnsFrame));
    EXPECT_TRUE(compiled("arp")->matches(arp));
    EXPECT_FALSE(compiled("ip6")->matches(webFrame));
    EXPECT_TRUE(compiled("tcp[tcpflags] & tcp-syn != 0")->matches(synFrame));
    EXPECT_FALSE(compiled("tcp[tcpflags] & tcp-syn != 0")->matches(webFrame));
    EXPECT_TRUE(compiled("")->matches(arp));  // empty: everything
    EXPECT_EQ(either->expression(), "tcp port 80 or udp port 53");
}

TEST(PacketMatcher, ShortFramesAndBadExpressions) {
    const auto port = compiled("tcp dst port 80");
    auto frame = ipv4Frame(Ipv4Header{});
    EXPECT_TRUE(port->matches(frame));
    // Cut before the port: the read is refused, not made past the end.
    EXPECT_FALSE(port->matches(std::span(frame).first(36)));
    EXPECT_FALSE(port->matches({}));

    std::string error;
    EXPECT_FALSE(PacketMatcher::compile("tcp port", &error));
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(PacketMatcher::compile("host nosuchhost.invalid", &error));
    EXPECT_FALSE(error.empty());
}

TEST(PacketMatcher, MatchesFromSeveralThreadsAtOnce) {
    const auto m = compiled("udp port 53");
    Ipv4Header dns;
    dns.protocol = 17;
    dns.dstPort = 53;
    const auto frame = ipv4Frame(dns);
    int hits[2] = {0, 0};
    auto count = [&](int i) {
        for (int n = 0; n < 10000; ++n) hits[i] += m->matches(frame);
    };
    std::thread a(count, 0), b(count, 1);
    a.join();
    b.join();
    EXPECT_EQ(hits[0] + hits[1], 20000);
}
