#include <gtest/gtest.h>

#include <fstream>

#include "store/OverviewScan.h"
#include "support/PcapBytes.h"

using namespace pelsid;
using namespace pelsid::test;

namespace {
constexpr std::int64_t kSecond = 1'000'000'000;
constexpr int kTcp = 0, kUdp = 1, kIcmp = 2;

// An Ethernet frame of `length` bytes: IPv4 with `protocol`, or ARP (-1).
// The bytes past the headers are not zero, so a field read too far shows.
Bytes frame(int protocol, std::size_t length) {
    Bytes f(length, 0xEE);
    f[12] = 0x08;
    f[13] = protocol < 0 ? 0x06 : 0x00;
    if (protocol >= 0) {
        f[14] = 0x45;
        f[23] = std::uint8_t(protocol);
    }
    return f;
}

struct Frame {
    int protocol;
    std::size_t length;
    std::int64_t microseconds;  // from 1000 s past the epoch
};

// Frame 1 at 0 s; the last microsecond of the first second and its end;
// a time out of order; a gap of an empty second; one before the first.
const Frame kFrames[] = {{6, 60, 0},        {17, 70, 999'999},   {1, 80, 1'000'000},
                         {-1, 64, 500'000}, {6, 100, 3'200'000}, {17, 90, -100'000}};

std::string writeCapture() {
    Bytes b = pcapHeader(1);
    for (const Frame& f : kFrames) {
        const std::int64_t us = 1'000'000'000 + f.microseconds;
        pcapFrame(b, frame(f.protocol, f.length), 0, false, std::uint32_t(us / 1'000'000),
                  std::uint32_t(us % 1'000'000));
    }
    const std::string path = tempPath("overview.pcap");
    writeFile(path, b);
    return path;
}

struct Expected {
    std::int64_t index;
    std::uint64_t first, frames, bytes;
    int kind;  // of the bin's first frame, counted once
};

struct ScanCase {
    const char* name;
    std::uint64_t from;
    const char* filter;
    std::vector<Expected> bins;  // every interval from the first to the last
};

class OverviewScanTest : public ::testing::TestWithParam<ScanCase> {};
}  // namespace

TEST_P(OverviewScanTest, CountsEachIntervalFromTheFirstFramesTime) {
    const ScanCase& c = GetParam();
    ReadOptions options;
    options.choice.from = c.from;
    options.choice.filter = c.filter;
    options.pieceSize = 7;  // records cross every piece
    const OverviewScan scan = scanOverview(writeCapture(), options, kSecond);
    ASSERT_EQ(scan.format, CaptureFormat::Pcap);
    const Overview& o = scan.overview;
    ASSERT_TRUE(o.timed());
    EXPECT_EQ(o.interval(), kSecond);
    ASSERT_EQ(o.firstIndex(), c.bins.front().index);
    ASSERT_EQ(o.lastIndex(), c.bins.back().index);
    ASSERT_EQ(o.bins().size(), c.bins.size());
    for (const Expected& e : c.bins) {
        const OverviewBin b = o.bin(e.index);
        EXPECT_EQ(b.firstFrame, e.first) << e.index;
        EXPECT_EQ(b.frames, e.frames) << e.index;
        EXPECT_EQ(b.bytes, e.bytes) << e.index;
        std::uint64_t kinds = 0;
        for (std::uint64_t n : b.kindFrames) kinds += n;
        EXPECT_EQ(kinds, b.frames) << e.index;
        if (e.frames > 0) {
            EXPECT_GE(b.kindFrames[std::size_t(e.kind)], 1u) << e.index;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Captures, OverviewScanTest,
    ::testing::Values(
        ScanCase{"every",
                 1,
                 "",
                 {{-1, 6, 1, 90, kUdp},
                  {0, 1, 3, 194, kTcp},
                  {1, 3, 1, 80, kIcmp},
                  {2, 0, 0, 0, 0},
                  {3, 5, 1, 100, kTcp}}},
        ScanCase{"filter",
                 1,
                 "tcp",
                 {{0, 1, 1, 60, kTcp}, {1, 0, 0, 0, 0}, {2, 0, 0, 0, 0}, {3, 5, 1, 100, kTcp}}},
        // The first frame kept (at 3.2 s) sets where intervals start.
        ScanCase{"wire",
                 1,
                 "greater 85",
                 {{-4, 6, 1, 90, kUdp},
                  {-3, 0, 0, 0, 0},
                  {-2, 0, 0, 0, 0},
                  {-1, 0, 0, 0, 0},
                  {0, 5, 1, 100, kTcp}}},
        ScanCase{"from",
                 3,
                 "",
                 {{-2, 6, 1, 90, kUdp},
                  {-1, 4, 1, 64, kNonIpKind},
                  {0, 3, 1, 80, kIcmp},
                  {1, 0, 0, 0, 0},
                  {2, 5, 1, 100, kTcp}}}),
    [](const auto& info) { return std::string(info.param.name); });

// The pass counts every frame, however many more than the buffer holds.
TEST(OverviewScanTest, CountsFramesBeyondWhatTheBufferHolds) {
    Bytes b = pcapHeader(1);
    for (int i = 0; i < 30002; ++i) pcapFrame(b, frame(6, 60));
    const std::string path = tempPath("many-frames.pcap");
    writeFile(path, b);
    const OverviewScan scan = scanOverview(path, {}, kSecond);
    EXPECT_EQ(scan.overview.frames(), 30002u);
    EXPECT_EQ(scan.overview.bin(0).kindFrames[kTcp], 30002u);
    EXPECT_TRUE(scan.problems.empty());
}

TEST(Overview, UntimedFramesGoByFrameNumber) {
    Overview o(kSecond);  // the interval is for times; these have none
    for (std::uint64_t n = 5; n <= 9; ++n) o.add(n, 60, kTcp, {});
    EXPECT_FALSE(o.timed());
    EXPECT_EQ(o.interval(), 1);
    EXPECT_EQ(o.startOf(0), 5);
    const Overview two = o.regrouped(2);
    ASSERT_EQ(two.bins().size(), 3u);  // 5-6, 7-8, 9
    EXPECT_EQ(two.bin(1).firstFrame, 7u);
    EXPECT_EQ(two.bin(2).frames, 1u);
}

// However long the capture, the intervals stay few: ten at a time merge.
TEST(Overview, MemoryStaysBoundedAndIntervalsStayRound) {
    Overview o;
    CaptureTime t{.seconds = 1000, .nanoseconds = 0, .decimals = 6, .known = true};
    o.add(1, 60, kTcp, t);
    t.seconds += 100'000;
    o.add(2, 70, kUdp, t);
    EXPECT_EQ(o.interval(), 10 * kSecond);  // 1 ms merged four times
    EXPECT_LT(o.lastIndex() - o.firstIndex(), Overview::kMaxBins);
    EXPECT_EQ(o.bin(o.lastIndex()).firstFrame, 2u);
    EXPECT_EQ(epochText(o.startTime(o.lastIndex())), "101000.000000");
    // Years apart: round intervals of days that are multiples of what is held.
    Overview years;
    years.add(1, 60, kTcp, t);
    t.seconds += 1000 * 86400;
    years.add(2, 60, kTcp, t);
    EXPECT_EQ(years.fittingInterval(50), 50 * 86400 * kSecond);

    Overview fine;
    t.seconds = 1000;
    for (int i = 0; i < 10'000; ++i) {
        t.nanoseconds = std::uint32_t(i) * 100'000;  // a second in steps of 0.1 ms
        fine.add(std::uint64_t(i + 1), 60, kTcp, t);
    }
    EXPECT_EQ(fine.interval(), Overview::kFinestNs);
    struct Fit {
        int columns;
        std::int64_t interval;
    };
    for (const Fit f : {Fit{2000, 1'000'000}, Fit{999, 2'000'000}, Fit{100, 10'000'000},
                        Fit{3, 500'000'000}, Fit{1, kSecond}}) {
        const std::int64_t chosen = fine.fittingInterval(f.columns);
        EXPECT_EQ(chosen, f.interval) << f.columns;
        const Overview shown = fine.regrouped(chosen);
        std::uint64_t frames = 0;
        for (const OverviewBin& b : shown.bins()) frames += b.frames;
        EXPECT_EQ(frames, 10'000u);
        EXPECT_EQ(shown.bin(shown.firstIndex()).firstFrame, 1u);
    }
}

// Real captures against what tshark counts per interval
// (tshark -q -z io,stat,0.25 -r FILE: frames and bytes of each line).
class OverviewAgainstTshark : public ::testing::TestWithParam<const char*> {};

TEST_P(OverviewAgainstTshark, FramesAndBytesOfEveryInterval) {
    const std::string base = std::string(PELSID_TEST_DATA) + "/" + GetParam();
    std::ifstream expected(base + ".iostat.tsv");
    const OverviewScan scan = scanOverview(base + ".pcap", {}, kSecond / 4);
    const Overview& o = scan.overview;
    ASSERT_EQ(o.firstIndex(), 0);
    std::int64_t k = 0;
    std::uint64_t frames = 0, bytes = 0;
    while (expected >> frames >> bytes) {
        EXPECT_EQ(o.bin(k).frames, frames) << GetParam() << " interval " << k;
        EXPECT_EQ(o.bin(k).bytes, bytes) << GetParam() << " interval " << k;
        ++k;
    }
    EXPECT_GT(k, 5);
    EXPECT_EQ(o.lastIndex(), k - 1);
}

INSTANTIATE_TEST_SUITE_P(RealCaptures, OverviewAgainstTshark,
                         ::testing::Values("veth_mixed", "veth_vlan"));
