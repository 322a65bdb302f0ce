#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>
#include <algorithm>
#include <thread>
#include <vector>

#include "pipeline/FilterModel.h"
#include "pipeline/GuiThread.h"
#include "pipeline/Ingest.h"
#include "pipeline/Pipeline.h"
#include "store/PacketBuffer.h"
#include "support/ScriptedDialogs.h"

using namespace pelsid;
using namespace pelsid::test;

namespace {
struct Calls : PacketView {
    std::vector<int> plots, thumbs;
    std::vector<std::uint32_t> colors;
    int clears = 0, dirtyTails = 0;
    bool offThread = false;
    void plot(const PlayedPacket& p) override {
        plots.push_back(p.number);
        // Views may read a whole slot: past the packet it must read zeros.
        dirtyTails += std::any_of(p.bytes + p.length, p.bytes + PacketBuffer::kSlotBytes,
                                  [](std::uint8_t x) { return x != 0; });
    }
    void plotThumbnail(const PlayedPacket& p) override {
        thumbs.push_back(p.number);
        colors.push_back(p.color);
    }
    void clear() override { ++clears; }
    bool drawsOffGuiThread() const override { return offThread; }
};
struct Views : ViewSet {
    Calls calls[kViewCount];
    bool shown[kViewCount] = {};
    PacketView& view(int i) override { return calls[i]; }
    bool isShown(int i) override { return shown[i]; }
};

std::vector<std::uint8_t> ipv4(int protocol, int len = 60) {
    std::vector<std::uint8_t> p(len, 0x41);
    p[12] = 0x08;
    p[13] = 0;
    p[14] = 0x45;
    p[23] = std::uint8_t(protocol);
    return p;
}

void waitFor(Pipeline& p) {
    if (!p.busy()) return;
    QEventLoop loop;
    QObject::connect(&p, &Pipeline::finished, &loop, &QEventLoop::quit);
    loop.exec();
}
}  // namespace

TEST(FilterModel, ClassesAndColours) {
    FilterModel m;
    EXPECT_EQ(m.protocolColor(6), 65280u);
    EXPECT_EQ(m.protocolColor(17), 33023u);
    EXPECT_EQ(m.protocolColor(1), 16711680u);
    EXPECT_EQ(m.protocolColor(200), 8421631u);
    EXPECT_EQ(m.protocolColor(253), 8454143u);
    EXPECT_EQ(m.protocolColor(0), 8454143u);
    m.setHidden(ProtocolClass::TCP, true);
    EXPECT_TRUE(m.isFilteredOut(6));
    EXPECT_FALSE(m.isFilteredOut(17));
    m.setHidden(ProtocolClass::UnassignedTransport, true);
    EXPECT_TRUE(m.isFilteredOut(138));
    EXPECT_TRUE(m.isFilteredOut(252));
    EXPECT_FALSE(m.isFilteredOut(137));
    EXPECT_FALSE(m.isFilteredOut(253));
    m.setColor(ProtocolClass::ICMP, 42);
    EXPECT_EQ(m.protocolColor(1), 42u);
    EXPECT_EQ(m.protocolColor(2), 16711680u);  // IGMP keeps its own blue
    m.reset();
    EXPECT_FALSE(m.isFilteredOut(6));
    EXPECT_EQ(m.protocolColor(1), 16711680u);
}

TEST(Pipeline, DispatchOrderVisibilityAndFilter) {
    PacketBuffer b;
    FilterModel m;
    Views v;
    Pipeline pipe(b, m, v);
    auto tcp = ipv4(6), udp = ipv4(17);
    b.insertPacket({tcp.data(), 60});
    b.insertPacket({udp.data(), 60});
    v.shown[0] = true;
    m.setHidden(ProtocolClass::TCP, true);
    pipe.playPackets(1, 1);
    pipe.playPackets(2, 2);
    for (int i = 0; i < ViewSet::kViewCount; ++i)
        EXPECT_EQ(v.calls[i].thumbs, std::vector<int>{2}) << i;
    EXPECT_EQ(v.calls[0].plots, std::vector<int>{2});
    EXPECT_TRUE(v.calls[1].plots.empty());
    pipe.playPackets(2, 1);
    EXPECT_EQ(pipe.lastPlayed(), 2);
    pipe.clearAllViews();
    for (auto& c : v.calls) EXPECT_EQ(c.clears, 1);
}

TEST(Pipeline, FiltersSeeTheWireLengthAndViewsZerosPastTheFrame) {
    // Frames at and around a slot's length, some cut when captured: the
    // display filter and colour rules compare the length on the wire. Played
    // in batches and one by one, after a longer frame too.
    PacketBuffer b;
    FilterModel m;
    Views v;
    v.shown[0] = true;
    Pipeline pipe(b, m, v);
    const struct {
        int stored;
        std::uint32_t wire;
    } frames[] = {{1601, 3000}, {60, 0}, {1600, 0}, {1601, 0}, {1601, 1602}, {40, 1602}, {61, 0}};
    for (const auto& f : frames)
        b.insertPacket({ipv4(17, f.stored).data(), std::size_t(f.stored)}, {}, f.wire);
    const std::uint32_t udp = m.protocolColor(17);
    std::string error;
    ASSERT_TRUE(m.addColorRule("len == 1602", 7, &error)) << error;
    const struct {
        const char* filter;
        std::vector<int> shown;
        std::vector<std::uint32_t> colors;
    } cases[] = {
        {"greater 1601", {1, 4, 5, 6}, {udp, udp, 7, 7}},
        {"less 100", {2, 7}, {udp, udp}},
        {"len > 1600 and len < 1602", {4}, {udp}},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(m.setDisplayFilter(c.filter, &error)) << error;
        for (Calls& calls : v.calls) calls.thumbs.clear(), calls.colors.clear();
        pipe.playPackets(1, 7);
        waitFor(pipe);
        for (int n = 1; n <= 7; ++n) pipe.playPackets(n, n);
        auto twice = [](auto x) {
            x.insert(x.end(), x.begin(), x.end());
            return x;
        };
        EXPECT_EQ(v.calls[0].thumbs, twice(c.shown)) << c.filter;
        EXPECT_EQ(v.calls[0].colors, twice(c.colors)) << c.filter;
    }
    EXPECT_EQ(v.calls[0].dirtyTails, 0);
}

TEST(Pipeline, RangeJobPlaysInSlicesAndEndsWhenTheBufferIsReinitialised) {
    PacketBuffer b;
    FilterModel m;
    Views v;
    Pipeline pipe(b, m, v);
    auto udp = ipv4(17);
    for (int i = 0; i < 500; ++i) b.insertPacket({udp.data(), 60});
    int finished = 0;
    QObject::connect(&pipe, &Pipeline::finished, [&] { ++finished; });
    auto idle = [] {  // long enough for a stray slice to run
        QEventLoop loop;
        QTimer::singleShot(30, &loop, &QEventLoop::quit);
        loop.exec();
    };
    pipe.setSliceBudget(0);  // a slice a packet: many slices
    pipe.playPackets(1, 500);
    EXPECT_TRUE(pipe.busy());
    EXPECT_TRUE(v.calls[0].thumbs.empty());  // nothing before the event loop runs
    waitFor(pipe);
    ASSERT_EQ(v.calls[0].thumbs.size(), 500u);
    EXPECT_EQ(v.calls[0].thumbs.back(), 500);
    idle();
    EXPECT_EQ(finished, 1);  // once, and not again while nothing plays
    pipe.setSliceBudget(10);

    pipe.playPackets(1, 500);
    b.initBuffer();  // the job's numbers now name nothing
    waitFor(pipe);
    EXPECT_EQ(v.calls[0].thumbs.size(), 500u);

    for (int i = 0; i < 3; ++i) b.insertPacket({udp.data(), 60});
    pipe.playPackets(1, 3);
    pipe.playToEnd();  // at once, leaving no slice behind
    EXPECT_EQ(v.calls[0].thumbs.size(), 503u);
    idle();
    EXPECT_EQ(finished, 3);
}

// Loading and capturing share one way in: a question only when packets are
// held, a Yes ends the jobs and empties the buffer, the views are emptied
// once either way, and a frame plays as soon as it is stored.
TEST(Ingest, AsksBeforeOverwritingAndClearsTheViewsOnce) {
    PacketBuffer b;
    FilterModel m;
    Views v;
    Pipeline pipe(b, m, v);
    ScriptedDialogs d;
    Ingest ingest(b, pipe, d);
    ingest.begin();
    EXPECT_TRUE(d.questions.empty());
    EXPECT_EQ(v.calls[0].clears, 1);
    const auto udp = ipv4(17);
    FrameBatch frames;
    frames.append(udp, {.wireLength = 1514, .time = {1765200000, 5, 9, true}});
    ingest.frames(frames);
    EXPECT_EQ(b.newestHeld(), 1);
    EXPECT_EQ(v.calls[0].thumbs, std::vector<int>{1});
    EXPECT_EQ(b.wireLength(1), 1514u);
    EXPECT_EQ(b.captureTime(1).nanoseconds, 5u);

    d.answers = {false};
    ingest.begin();
    ASSERT_EQ(d.questions.size(), 1u);
    EXPECT_EQ(d.questions[0].title, "Verify Buffer Delete");
    EXPECT_EQ(d.questions[0].text, "Packets exist in the buffer.  Do you wish to overwrite?");
    EXPECT_EQ(b.newestHeld(), 1);
    EXPECT_EQ(v.calls[0].clears, 2);

    for (int i = 0; i < 100; ++i) b.insertPacket(udp);
    pipe.playPackets(1, 101);
    ASSERT_TRUE(pipe.busy());
    const auto generation = b.generation();
    ingest.begin();  // Yes
    EXPECT_FALSE(pipe.busy());
    EXPECT_EQ(b.newestHeld(), 0);
    EXPECT_GT(b.generation(), generation);
    EXPECT_EQ(v.calls[0].clears, 3);
}

TEST(Pipeline, RangeOnTwoThreadsGivesEveryViewEveryPacketInOrder) {
    // Views 2 and 5 draw on the second thread. Each view still sees each
    // packet that passes the filter once, in order, and bytes beyond a
    // packet read as zero even after a longer packet.
    struct Tail : Calls {
        bool tailZero = true;
        void plotThumbnail(const PlayedPacket& p) override {
            Calls::plotThumbnail(p);
            for (int i = p.length; i < PacketBuffer::kSlotBytes; ++i)
                tailZero = tailZero && !p.bytes[i];
        }
    };
    struct Threaded : Views {
        Tail tail;
        PacketView& view(int i) override { return i == 5 ? tail : calls[i]; }
    } views;
    views.calls[2].offThread = views.tail.offThread = true;
    views.shown[2] = views.shown[3] = true;
    PacketBuffer buffer;
    FilterModel filters;
    filters.setHidden(ProtocolClass::UDP, true);
    std::vector<int> expected;
    for (int n = 1; n <= 1000; ++n) {
        const int protocol = n % 7 == 0 ? 17 : 6;
        const auto p = ipv4(protocol, n % 2 ? 1514 : 60);
        buffer.insertPacket(p);
        if (protocol == 6) expected.push_back(n);
    }
    Pipeline pipeline(buffer, filters, views);
    pipeline.playPackets(1, 1000);
    waitFor(pipeline);
    for (int i = 0; i < ViewSet::kViewCount; ++i) {
        const Calls& c = i == 5 ? views.tail : views.calls[i];
        EXPECT_EQ(c.thumbs, expected) << "view " << i;
        EXPECT_EQ(c.plots, views.shown[i] ? expected : std::vector<int>{}) << i;
    }
    EXPECT_TRUE(views.tail.tailZero);
    EXPECT_EQ(pipeline.lastPlayed(), expected.back());
}

TEST(FilterModel, Icmpv6IsInTheIcmpClass) {
    FilterModel m;
    EXPECT_EQ(protocolClassOf(58), ProtocolClass::ICMP);
    EXPECT_EQ(m.protocolColor(58), m.protocolColor(1));
    m.setHidden(ProtocolClass::ICMP, true);
    EXPECT_TRUE(m.isFilteredOut(58));
}

// Drawing threads must never reach widget state: the check tells the threads
// apart, and a breach ends the program naming the method.
TEST(GuiThread, TellsThreadsApartAndNamesTheBreach) {
    EXPECT_TRUE(onGuiThread());
    bool other = true;
    std::thread([&] { other = onGuiThread(); }).join();
    EXPECT_FALSE(other);
    EXPECT_DEATH(offGuiThread("Pipeline::playPackets"),
                 "Pipeline::playPackets ran off the GUI thread");
}
