#include <gtest/gtest.h>

#include "control/GoToPacket.h"
#include "store/PacketBuffer.h"

using namespace pelsid;

namespace {
// 2026-12-08 23:59:58 UTC, the first of packets half a second apart, past midnight.
constexpr std::int64_t kFirst = 1796774398;

struct GoToCase {
    const char* typed;
    long utcOffset;
    int packet;           // 0: refused
    const char* problem;  // part of what the user is told
};

class GoToTest : public ::testing::TestWithParam<GoToCase> {
  protected:
    static PacketBuffer& buffer() {
        static PacketBuffer b;
        if (b.newestHeld() == 0) {
            b.initBuffer();
            const std::uint8_t frame[60] = {};
            for (int i = 0; i < 10; ++i) {
                CaptureTime t{kFirst + i / 2, std::uint32_t(i % 2) * 500'000'000, 6, true};
                b.insertPacket({frame, 60}, t);
            }
        }
        return b;
    }
};
}  // namespace

TEST_P(GoToTest, FindsThePacketHeldAtOrAfter) {
    const GoToCase& c = GetParam();
    const GoToResult r = goToPacket(buffer(), c.typed, c.utcOffset);
    EXPECT_EQ(r.packet, c.packet) << c.typed << ": " << r.problem;
    EXPECT_NE(r.problem.find(c.problem), std::string::npos) << r.problem;
}

INSTANTIATE_TEST_SUITE_P(
    Typed, GoToTest,
    ::testing::Values(GoToCase{"1", 0, 1, ""}, GoToCase{" 10 ", 0, 10, ""},
                      GoToCase{"11", 0, 0, "the packets held are 1 to 10"},
                      GoToCase{"0", 0, 0, "not held"}, GoToCase{"99999999999", 0, 0, "not held"},
                      GoToCase{"+0", 0, 1, ""}, GoToCase{"+0.5", 0, 2, ""},
                      GoToCase{"+0.6", 0, 3, ""},  // the next at or after
                      GoToCase{"+4.5", 0, 10, ""}, GoToCase{"+4.6", 0, 0, "No packet held"},
                      GoToCase{"+x", 0, 0, "no number"}, GoToCase{"23:59:59 UTC", 0, 3, ""},
                      GoToCase{"23:59:59.5Z", 0, 4, ""},
                      GoToCase{"00:00:01 UTC", 0, 7, ""},  // past midnight: the next day
                      GoToCase{"00:59:59", 3600, 3, ""},   // local time, an hour east
                      GoToCase{"23:00 UTC", 0, 1, ""},     // before the first: the first
                      GoToCase{"24:00", 0, 0, "no packet number"},
                      GoToCase{"12:60", 0, 0, "no packet number"},
                      GoToCase{"noon", 0, 0, "no packet number"}));

TEST(GoTo, PacketsOverwrittenOrWithoutTimes) {
    PacketBuffer b;
    b.initBuffer();
    const std::uint8_t frame[60] = {};
    for (int i = 0; i < PacketBuffer::kSlots + 5; ++i) b.insertPacket({frame, 60});
    EXPECT_EQ(goToPacket(b, "3").problem,
              "Packet 3 is no longer held: the oldest held is packet 6.");
    EXPECT_EQ(goToPacket(b, "6").packet, 6);
    EXPECT_EQ(goToPacket(b, "+1").problem, "The packets held have no capture times.");
    PacketBuffer empty;
    empty.initBuffer();
    EXPECT_EQ(goToPacket(empty, "1").problem, "No packets are held.");
}
