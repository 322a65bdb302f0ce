#include <gtest/gtest.h>

#include "control/BufferRange.h"
#include "control/RateMeter.h"
#include "control/TickPacer.h"

using namespace pelsid;

TEST(BufferRange, MapsTheTrackLinearlyOntoTheHeldPackets) {
    constexpr int L = BufferRangeGeometry::kTrackLength;
    auto r = packetRangeFor(0, L, L, 1, 250);
    EXPECT_EQ(r.first, 1);
    EXPECT_EQ(r.last, 250);
    r = packetRangeFor(1000, 2000, L, 1, 1 + L);  // one packet per twip
    EXPECT_EQ(r.first, 1001);
    EXPECT_EQ(r.last, 2001);
    r = packetRangeFor(0, L, L, 2, 30001);  // ring overwritten: oldest is 2
    EXPECT_EQ(r.first, 2);
    r = packetRangeFor(-40, L + 500, L, 2, 30001);  // clamped to the ends
    EXPECT_EQ(r.first, 2);
    EXPECT_EQ(r.last, 30001);
    r = packetRangeFor(100, 50, L, 1, 1000);  // never first > last
    EXPECT_LE(r.first, r.last);
    r = packetRangeFor(0, L, L, 1, 0);  // nothing held
    EXPECT_GT(r.first, r.last);
}

TEST(BufferRange, DragRulesKeepTheHandlesApartAndOnTheTrack) {
    constexpr int W = BufferRangeGeometry::kHandleWidth;
    EXPECT_EQ(dragMinHandle(100, W, 50, 120, 6060), 30);
    EXPECT_EQ(dragMinHandle(100, W, 0, 120, 6060), 0);
    EXPECT_EQ(dragMinHandle(100, W, 9000, 0, 6060), 6060 - W - 1);
    EXPECT_EQ(dragMaxHandle(6060, 0, 100, 0, W, 6060), 5960);
    EXPECT_EQ(dragMaxHandle(6060, 0, 9000, 2000, W, 6060), 2000 + W + 1);
    EXPECT_EQ(dragMaxHandle(3000, 9000, 0, 0, W, 6060), 6060);
}

TEST(TickPacer, OwesOneTickPerPeriodAndBoundsItsDebt) {
    TickPacer p;
    p.start(0, 10);
    EXPECT_EQ(p.due(9), 0);
    EXPECT_EQ(p.due(10), 1);
    EXPECT_EQ(p.due(35), 3);
    p.consumed(2);
    EXPECT_EQ(p.due(35), 1);
    p.consumed(1);
    EXPECT_EQ(p.due(35), 0);

    const std::int64_t ms = 1'000'000;
    p.start(0, ms);
    EXPECT_EQ(p.due(10'000 * ms), 100);  // 10 s stalled: only 100 ms are caught up
    p.consumed(100);
    EXPECT_EQ(p.due(10'000 * ms), 0);
    EXPECT_EQ(p.due(10'001 * ms), 1);

    p.start(0, 2'000'000'000);  // slower than the bound: one tick is always owed
    EXPECT_EQ(p.due(9'000'000'000), 1);
}

TEST(RateMeter, MeasuresTheLastSecond) {
    RateMeter m;
    EXPECT_EQ(m.rate(), 0.0);
    const std::int64_t s = 1'000'000'000;
    for (int i = 0; i <= 3; ++i) m.record(i * s);  // one a second
    EXPECT_DOUBLE_EQ(m.rate(), 1.0);
    m.reset();
    for (int i = 0; i < 3000; ++i) m.record(i * s / 1000);  // 1000 a second for 3 s
    EXPECT_DOUBLE_EQ(m.rate(), 1000.0);
    for (int i = 0; i < 50; ++i) m.record(3 * s + i * s / 100);  // half a second at 100 a second
    EXPECT_NEAR(m.rate(), 550.0, 10.0);
    for (int i = 50; i < 200; ++i) m.record(3 * s + i * s / 100);
    EXPECT_NEAR(m.rate(), 100.0, 1.0);
}
