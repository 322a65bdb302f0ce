#include "fieldviews/CombinedWindow.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QSpinBox>

#include "support/FieldViewFixture.h"

using namespace pelsid;
using namespace pelsid::test;

namespace {

std::vector<int> columnsOf(const HistoryStrip& s, std::uint32_t color) {
    std::vector<int> columns;
    for (int x = 0; x < s.width(); ++x)
        for (int y = 0; y < s.height(); ++y)
            if (s.pixel(x, y) == color) {
                columns.push_back(x);
                break;
            }
    return columns;
}

int dotsIn(const HistoryStrip& s, int x, std::uint32_t color) {
    int n = 0;
    for (int y = 0; y < s.height(); ++y) n += s.pixel(x, y) == color;
    return n;
}

struct Combined : FieldViewFixture {
    CombinedWindow w{context, axes};
    int next = 0;
    // Each packet from another /16 so its dots fall on other rows.
    void play(int count) {
        for (int i = 0; i < count; ++i) {
            Ipv4Header s;
            s.src = {std::uint8_t(20 + 10 * (next % 20)), 0, 0, 1};
            s.dstPort = 1000 + 3000 * (next++ % 20);
            w.renderer().plot(packet(store(buffer, ipv4Frame(s))));
        }
    }
};

}  // namespace

TEST(CombinedWindow, ColumnsMoveOutwardOnePerQuantum) {
    Combined c;
    const int lw = c.w.renderer().leftStrip().width();
    ASSERT_EQ(c.w.renderer().picGraph().width(), 200);
    c.play(3);
    EXPECT_EQ(columnsOf(c.w.renderer().leftStrip(), kTcp),
              (std::vector<int>{lw - 8, lw - 5, lw - 2}));
    EXPECT_EQ(columnsOf(c.w.renderer().rightStrip(), kTcp), (std::vector<int>{1, 3, 5}));
    // The composed pictures show the same.
    EXPECT_EQ(
        c.w.renderer().leftStrip().front().pixel(lw - 8, c.w.renderer().leftStrip().height() - 1),
        0u);
    EXPECT_EQ(countOf(c.w.renderer().leftStrip().front(), kTcp), 3);
    // One centre line per packet, ending at the right edge.
    EXPECT_EQ(c.w.renderer().picGraph().pixel(199, toPixel(400 - 400 * 7000.0 / 65536)), kTcp);
}

TEST(CombinedWindow, QuantumOfFiveAppearsAtOnce) {
    Combined c;
    c.w.spnBuckets()->setValue(5);
    c.play(4);
    EXPECT_TRUE(columnsOf(c.w.renderer().leftStrip(), kTcp).empty());
    EXPECT_TRUE(columnsOf(c.w.renderer().rightStrip(), kTcp).empty());
    c.play(1);
    const int lw = c.w.renderer().leftStrip().width();
    EXPECT_EQ(columnsOf(c.w.renderer().leftStrip(), kTcp), std::vector<int>{lw - 2});
    EXPECT_EQ(dotsIn(c.w.renderer().leftStrip(), lw - 2, kTcp), 5);
    EXPECT_EQ(c.w.renderer().quantumCount(), 0);
}

TEST(CombinedWindow, ClearKeepsTheQuantumBegun) {
    Combined c;
    c.w.spnBuckets()->setValue(5);
    c.play(3);
    c.w.renderer().clear();
    EXPECT_EQ(c.w.renderer().quantumCount(), 3);
    c.play(1);
    EXPECT_TRUE(columnsOf(c.w.renderer().leftStrip(), kTcp).empty());
    c.play(1);
    EXPECT_EQ(dotsIn(c.w.renderer().leftStrip(), c.w.renderer().leftStrip().width() - 2, kTcp), 2);
    EXPECT_EQ(dotsIn(c.w.renderer().rightStrip(), 1, kTcp), 2);
}

TEST(CombinedWindow, SmallerQuantumCompletesAtTheNextPacket) {
    Combined c;
    c.w.spnBuckets()->setValue(5);
    c.play(3);
    c.w.spnBuckets()->setValue(2);
    c.play(1);
    EXPECT_EQ(dotsIn(c.w.renderer().rightStrip(), 1, kTcp), 4);
}

TEST(CombinedWindow, NonIPv4FrameOnlyScrollsTheThumbnail) {
    Combined c;
    const int arp = store(c.buffer, arpFrame());
    Ipv4Header s;
    s.src = {128, 0, 0, 1};
    const int ip = store(c.buffer, ipv4Frame(s));
    c.w.renderer().plotThumbnail(c.packet(ip));  // y = 57 - 28.5 = 28.5, to the even 28
    c.w.renderer().plot(c.packet(arp));
    c.w.renderer().plotThumbnail(c.packet(arp));
    EXPECT_EQ(countOf(c.w.renderer().picGraph(), c.colorOf(arp)), 0);
    EXPECT_TRUE(columnsOf(c.w.renderer().leftStrip(), c.colorOf(arp)).empty());
    const Surface& t = c.thumbnails.vis(6);
    EXPECT_EQ(t.pixel(3, 28), rgb(0, 255, 0));  // moved 2 to the right
    EXPECT_EQ(t.pixel(1, 28), 0u);
    EXPECT_EQ(countOf(c.thumbnails.picVis6Back, rgb(0, 255, 0)), 0);
    c.w.renderer().clear();
    EXPECT_EQ(countOf(t, rgb(0, 255, 0)), 0);
}
