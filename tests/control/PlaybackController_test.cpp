#include <gtest/gtest.h>

#include <QTest>
#include <numeric>
#include <tuple>
#include <utility>
#include <vector>

#include "control/BufferRange.h"
#include "control/PlaybackController.h"
#include "control/RealTimePacer.h"
#include "support/PlaybackRig.h"

using namespace pelsid;

namespace {

using State = PlaybackController::State;
using G = BufferRangeGeometry;
using PlaybackTest = test::PlaybackRig;

std::string name(State s) {
    constexpr const char* kNames[] = {"Stopped", "Idle", "Playing", "Paused"};
    return kNames[int(s)];
}

// The transport's state machine: every state, every action.
enum class Action { Play, Pause, Stop, Step, Space };
constexpr const char* kActionNames[] = {"Play", "Pause", "Stop", "Step", "Space"};
struct Transition {
    State from;
    Action action;
    State to;
    int clears;  // views cleared by the action
    friend void PrintTo(const Transition& t, std::ostream* os) {
        *os << name(t.from) << kActionNames[int(t.action)];
    }
};

class TransportTable : public PlaybackTest, public ::testing::WithParamInterface<Transition> {
  protected:
    void act(Action a) {
        using P = PlaybackController;
        constexpr void (P::*kActions[])() = {&P::play, &P::pause, &P::stop, &P::stepForward,
                                             &P::playOrPause};
        (playback.*kActions[int(a)])();
    }
    void reach(State s) {
        if (s == State::Playing || s == State::Paused) act(Action::Play);
        if (s == State::Paused) act(Action::Pause);
        if (s == State::Idle) act(Action::Stop);
    }
};

TEST_P(TransportTable, EachActionInEachState) {
    const Transition t = GetParam();
    fill(4);
    playback.reset();
    reach(t.from);
    ASSERT_EQ(name(playback.state()), name(t.from));
    const int before = views.clears();
    act(t.action);
    EXPECT_EQ(name(playback.state()), name(t.to));
    EXPECT_EQ(views.clears() - before, t.clears);
    // Play stays pressed while playing or paused; the timer runs only while playing.
    EXPECT_EQ(playback.running(), t.to == State::Playing);
    EXPECT_EQ(playback.playPressed(), t.to == State::Playing || t.to == State::Paused);
    EXPECT_EQ(playback.pausePressed(), t.to == State::Paused);
    EXPECT_EQ(playback.stopPressed(), t.to == State::Stopped);
    if (t.action == Action::Stop || t.action == Action::Step) {
        EXPECT_EQ(playback.position(), t.action == Action::Stop ? 1 : 2);
    }
    // Paused means paused, and playing goes on from where it stands.
    views.forget();
    advance(500);
    EXPECT_EQ(views.plotted().empty(), t.to != State::Playing);
}

constexpr Transition kTransitions[] = {
    {State::Stopped, Action::Play, State::Playing, 1},   // from Stop: cleared once
    {State::Stopped, Action::Pause, State::Stopped, 0},  // Pause pops back out
    {State::Stopped, Action::Stop, State::Idle, 0},      // released, and stopped again
    {State::Stopped, Action::Step, State::Stopped, 0},
    {State::Stopped, Action::Space, State::Playing, 1},
    {State::Idle, Action::Play, State::Playing, 0},  // Stop released: nothing cleared
    {State::Idle, Action::Pause, State::Idle, 0},
    {State::Idle, Action::Stop, State::Stopped, 0},
    {State::Idle, Action::Space, State::Playing, 0},
    {State::Playing, Action::Play, State::Playing, 0},  // Play stays pressed
    {State::Playing, Action::Pause, State::Paused, 0},
    {State::Playing, Action::Stop, State::Stopped, 0},
    {State::Playing, Action::Step, State::Playing, 0},
    {State::Playing, Action::Space, State::Paused, 0},
    {State::Paused, Action::Play, State::Playing, 0},  // Pause pops out
    {State::Paused, Action::Pause, State::Playing, 0},
    {State::Paused, Action::Stop, State::Stopped, 0},
    {State::Paused, Action::Step, State::Paused, 0},
    {State::Paused, Action::Space, State::Playing, 0},
};

INSTANTIATE_TEST_SUITE_P(Pvr, TransportTable, ::testing::ValuesIn(kTransitions),
                         [](const auto& info) {
                             return name(info.param.from) + kActionNames[int(info.param.action)];
                         });

// Playing on a clock that fires on time, early, late, in bursts and after a stall.
struct PlayRun {
    const char* name;
    int packets;
    int rate;
    bool loop;
    std::vector<std::pair<int, int>> clock;  // timer events: (ms after the last, how many)
    int count;                               // packets played
    std::vector<int> last;                   // the last of them
    bool playing;                            // still playing after
    int workMs = 0;                          // each packet takes this long to play
    friend void PrintTo(const PlayRun& r, std::ostream* os) { *os << r.name; }
};

class PlayRuns : public PlaybackTest, public ::testing::WithParamInterface<PlayRun> {};

TEST_P(PlayRuns, PlaysOnTheClock) {
    const PlayRun& r = GetParam();
    fill(r.packets);
    clockStep = r.workMs * kMs;
    playback.reset();
    playback.setRate(r.rate);
    playback.setLoop(r.loop);
    playback.play();
    for (auto [ms, times] : r.clock)
        for (int i = 0; i < times; ++i) advance(ms);
    const std::vector<int>& played = views.plotted();
    ASSERT_EQ(int(played.size()), r.count);
    EXPECT_EQ(std::vector<int>(played.end() - int(r.last.size()), played.end()), r.last);
    EXPECT_EQ(playback.running(), r.playing);
    if (!r.playing) {  // the end stops without pressing Stop, back at the oldest
        EXPECT_EQ(name(playback.state()), "Idle");
        EXPECT_EQ(playback.position(), 1);
    }
    EXPECT_EQ(views.clears(), 1);  // only Play's own
}

INSTANTIATE_TEST_SUITE_P(
    Pvr, PlayRuns,
    ::testing::Values(
        PlayRun{"NotDueBeforeItsPeriod", 5, 10, false, {{99, 1}}, 0, {}, true},
        PlayRun{"FirstTickMovesPastTheOldest", 5, 10, false, {{99, 1}, {1, 1}}, 1, {2}, true},
        PlayRun{"OneASecond", 5, 1, false, {{999, 1}, {1, 1}}, 1, {2}, true},
        PlayRun{"BurstPlaysNothingMore", 5, 10, false, {{100, 1}, {0, 3}}, 1, {2}, true},
        // 16 a second is 62.5 ms a packet: an early timer waits for the clock.
        PlayRun{"EarlyTimer", 1000, 16, false, {{62, 160}}, 158, {159}, true},
        PlayRun{"LateTimerCatchesUp", 1000, 1000, false, {{10, 1}}, 10, {11}, true},
        // A timer event stops after 50 ms of work, so the windows stay live.
        PlayRun{"SlowWorkYieldsAfter50ms", 1000, 1000, false, {{100, 1}}, 5, {6}, true, 10},
        PlayRun{"StallMakesUpOnly100ms", 1000, 1000, false, {{5000, 1}}, 100, {101}, true},
        PlayRun{"EndStops", 3, 10, false, {{100, 3}}, 2, {2, 3}, false},
        PlayRun{"CatchUpStopsAtTheEnd", 3, 1000, false, {{50, 1}}, 2, {2, 3}, false},
        PlayRun{"LoopWraps", 3, 10, true, {{100, 5}}, 5, {2, 3, 1, 2, 3}, true},
        PlayRun{"OnePacketStops", 1, 10, false, {{100, 1}}, 0, {}, false},
        PlayRun{"OnePacketLoopsOnIt", 1, 10, true, {{100, 2}}, 2, {1, 1}, true},
        PlayRun{"NothingHeldStopsEvenLooping", 0, 10, true, {{100, 1}}, 0, {}, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(PlaybackTest, ResetRestoresWhatTheWindowOpensWith) {
    playback.reset();
    EXPECT_FALSE(playback.range() || playback.extent());  // nothing held
    fill(5);
    playback.setRate(500);
    playback.setRealTime(true);
    playback.setFactor(10);
    playback.dragMaxHandle(-600, 0);
    playback.resetRange();  // the whole buffer; the handles stay
    EXPECT_EQ(playback.handles().maxLeft, G::kMaxHandleRight - 600);
    playback.play();
    advance(1000);
    playback.setLoop(true);
    playback.halt();  // the window closed
    EXPECT_FALSE(playback.running());
    fill(2);

    playback.reset();
    EXPECT_EQ(name(playback.state()), "Stopped");
    EXPECT_EQ(std::tuple(playback.position(), playback.rate(), playback.factor()),
              std::tuple(1, PlaybackController::kDefaultRate, 1.0));
    EXPECT_FALSE(playback.loop() || playback.realTime());
    EXPECT_EQ(std::pair(playback.handles().minLeft, playback.handles().maxLeft),
              std::pair(0, G::kMaxHandleRight));
    EXPECT_EQ(std::pair(playback.range()->first, playback.range()->last), std::pair(1, 7));
    EXPECT_EQ(playback.extent()->last, 7);
}

// Steps move one within the buffer in any state; a seek clears and draws one packet.
TEST_F(PlaybackTest, StepsAndSeeksStayWithinTheBuffer) {
    fill(3);
    playback.reset();
    playback.stepBackward();                             // at the oldest: nothing
    for (int i = 0; i < 3; ++i) playback.stepForward();  // the third at the newest: nothing
    playback.stepBackward();
    EXPECT_EQ(views.plotted(), (std::vector<int>{2, 3, 2}));
    EXPECT_EQ(views.clears(), 0);
    EXPECT_EQ(name(playback.state()), "Stopped");
    playback.goTo(2);  // where it stands: nothing
    EXPECT_EQ(views.clears(), 0);
    for (auto [to, drawn] : {std::pair{0, 1}, {3, 3}, {4, 3}}) {
        views.forget();
        playback.seek(to);
        EXPECT_EQ(views.clears(), 1) << to;
        EXPECT_EQ(views.plotted(), std::vector<int>{drawn}) << to;
        EXPECT_EQ(playback.position(), drawn);
    }
    views.forget();
    playback.goTo(99);  // the newest, where it stands
    EXPECT_TRUE(views.plotted().empty());
    playback.setLoop(true);
    playback.play();  // playing goes on from a seek
    playback.seek(2);
    advance(100);
    EXPECT_EQ(views.plotted().back(), 3);
}

TEST_F(PlaybackTest, BufferChangesMoveTheBoundsAndNeverPlayOrClear) {
    fill(3);
    playback.reset();
    playback.play();
    views.forget();
    fill(PacketBuffer::kSlots - 2);  // 30001 packets: the oldest is overwritten
    // The position is pushed up with the oldest.
    EXPECT_EQ(std::tuple(playback.first(), playback.last(), playback.newest(), playback.position()),
              std::tuple(2, 30001, 30001, 2));
    EXPECT_EQ(views.clears(), 0);
    EXPECT_TRUE(views.plotted().empty());
    advance(100);
    EXPECT_EQ(views.plotted(), std::vector<int>{3});

    buffer.initBuffer();  // emptied while playing: the next tick stops
    EXPECT_EQ(std::pair(playback.newest(), playback.position()), std::pair(0, 1));
    advance(100);
    EXPECT_FALSE(playback.running());
    EXPECT_EQ(views.plotted(), std::vector<int>{3});
}

TEST_F(PlaybackTest, RateStaysInItsBoundsAndTakesEffectAtOnce) {
    fill(10);
    playback.reset();
    playback.play();
    advance(50);
    playback.setRate(1000);  // due 1 ms from now, not at the old period's end
    advance(1);
    EXPECT_EQ(views.plotted(), std::vector<int>{2});
    for (auto [asked, rate] : {std::pair{0, 1}, {1, 1}, {1000, 1000}, {1001, 1000}, {37, 37}}) {
        playback.setRate(asked);
        EXPECT_EQ(playback.rate(), rate) << asked;
    }
    for (auto [rate, ms] : {std::pair{1, 1000}, {3, 333}, {10, 100}, {16, 62}, {400, 2}, {1000, 1}})
        EXPECT_EQ(PlaybackController::intervalFor(rate), ms) << rate;
    for (auto [asked, factor] :
         {std::pair{1000.0, 100.0}, {100.0, 100.0}, {0.1, 0.1}, {0.0, 0.1}}) {
        playback.setFactor(asked);
        EXPECT_EQ(playback.factor(), factor) << asked;
    }
}

// On the real clock and timer: a rate raised from the slowest plays soon, not a second later.
TEST_F(PlaybackTest, AFasterRateGivesTicksSooner) {
    fill(100);
    PlaybackController real(buffer, pipeline);
    real.reset();
    real.setRate(PlaybackController::kMinRate);
    real.setRate(PlaybackController::kMaxRate);
    real.play();
    // Five at the slowest rate take four seconds; at the fastest, milliseconds
    // (the margin is for a loaded machine).
    EXPECT_TRUE(QTest::qWaitFor([&] { return views.plotted().size() >= 5; }, 2500));
    real.stop();
}

// Real Time: each packet waits its captured gap, divided by the factor; a
// packet without a time, and the step back to the start of a loop, wait 1 / rate.
struct Pace {
    int ms;      // the clock moves on this far
    int played;  // packets played since Play
    int last;    // the last of them
    double factor = 1;
    bool realTime = true;
    bool loop = false;
};
struct RealTimeRun {
    const char* name;
    std::vector<int> captured;  // ms after a second; -1 for no time
    int rate;
    std::vector<Pace> steps;
    friend void PrintTo(const RealTimeRun& r, std::ostream* os) { *os << r.name; }
};

class RealTimeRuns : public PlaybackTest, public ::testing::WithParamInterface<RealTimeRun> {
  protected:
    /// Packets captured at these milliseconds after a second; -1 for no time.
    void fillAt(const std::vector<int>& ms) {
        const std::uint8_t bytes[60] = {};
        for (int t : ms) {
            const CaptureTime time{1765200000 + t / 1000, std::uint32_t(t % 1000) * 1'000'000u, 6,
                                   t >= 0};
            buffer.insertPacket({bytes, 60}, time);
        }
    }
};

TEST_P(RealTimeRuns, EachPacketWaitsItsCapturedGap) {
    fillAt(GetParam().captured);
    playback.reset();
    playback.setRate(GetParam().rate);
    playback.setRealTime(true);
    playback.play();
    for (const Pace& s : GetParam().steps) {
        playback.setFactor(s.factor);
        playback.setRealTime(s.realTime);
        playback.setLoop(s.loop);
        advance(s.ms);
        ASSERT_EQ(int(views.plotted().size()), s.played) << "after " << clock / kMs << " ms";
        if (s.played) {
            EXPECT_EQ(views.plotted().back(), s.last);
        }
    }
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Pvr, RealTimeRuns, ::testing::Values(
    // Packets 3 and 4 were captured together; then 100 ms at 10x, and 1 s at 0.1x.
    RealTimeRun{"GapsOverTheFactor", {0, 10, 30, 30, 130, 1130}, 10,
                {{9, 0, 0}, {1, 1, 2}, {19, 1, 2}, {1, 3, 4}, {9, 3, 4, 10}, {1, 4, 5, 10},
                 {9000, 4, 5, 0.1}, {1000, 5, 6, 0.1}}},
    RealTimeRun{"WithoutATimeAtTheRate", {0, -1, 5000, 5001}, 20,
                {{49, 0, 0}, {1, 1, 2}, {50, 2, 3}, {1, 3, 4}, {49, 3, 4, 1, true, true},
                 {1, 4, 1, 1, true, true}}},
    // Released, it plays at the rate; after a stall of a minute only 100 ms are made up.
    RealTimeRun{"ReleasedAndStalled", {0, 1000, 2000, 2100, 2200, 2300, 2400}, 10,
                {{1000, 1, 2}, {99, 1, 2, 1, false}, {1, 2, 3, 1, false}, {60000, 4, 5},
                 {99, 4, 5}, {1, 5, 6}}}),
    [](const auto& info) { return std::string(info.param.name); });
// clang-format on

// A clock that fires early, on time, late, in a burst and after a stall:
// early waits, late catches up on schedule, a stall makes up at most the debt.
TEST(RealTimePacer, KeepsScheduleWhateverTheClock) {
    constexpr std::int64_t ms = 1'000'000;
    struct Step {
        std::int64_t now, wait;
        std::int64_t until;  // before the take
        bool taken;
    };
    const Step steps[] = {
        {20 * ms, 40 * ms, 20 * ms, false},   // early
        {40 * ms, 40 * ms, 0, true},          // on time: played at 40
        {130 * ms, 40 * ms, 0, true},         // late: counts as played when due, at 80
        {130 * ms, 40 * ms, 0, true},         // the burst catches up: 120
        {130 * ms, 40 * ms, 30 * ms, false},  // then waits again for 160
        {160 * ms - 1, 40 * ms, 1, false},    // one nanosecond early
        {10000 * ms, 40 * ms, 0, true},       // a stall: only the last 100 ms are made up
        {10000 * ms, 40 * ms, 0, true},       // 9940
        {10000 * ms, 40 * ms, 0, true},       // 9980
        {10000 * ms, 40 * ms, 20 * ms, false}, {10000 * ms, 0, 0, true},  // no gap: at once
    };
    RealTimePacer pacer;
    pacer.start(0);
    int i = 0;
    for (const Step& s : steps) {
        EXPECT_EQ(pacer.untilDue(s.now, s.wait), s.until) << "step " << i;
        EXPECT_EQ(pacer.take(s.now, s.wait), s.taken) << "step " << i;
        ++i;
    }
    // Times out of order play at once.
    EXPECT_EQ(
        RealTimePacer::waitNs({.seconds = 5, .known = true}, {.seconds = 4, .known = true}, 1, 7),
        0);
}

// The range handles: dragged in twips, they stay on the track and apart, and
// their places become the range played when they are let go.
struct Drag {
    const char* name;
    int packets;
    int minBy, maxBy;  // twips
    int first, last;   // the range chosen
    friend void PrintTo(const Drag& r, std::ostream* os) { *os << r.name; }
};

class HandleDrags : public PlaybackTest, public ::testing::WithParamInterface<Drag> {};

TEST_P(HandleDrags, StayOnTheTrackApartAndPlayTheirRange) {
    const Drag& d = GetParam();
    fill(d.packets);
    playback.reset();
    playback.dragMinHandle(d.minBy + 100, 100);  // grabbed 100 twips in
    playback.dragMaxHandle(d.maxBy + 50, 50);
    const PlaybackController::Handles& h = playback.handles();
    EXPECT_TRUE(0 <= h.minLeft && h.minLeft + G::kHandleWidth < h.maxLeft &&
                h.maxLeft <= G::kMaxHandleRight);
    EXPECT_EQ(reinits, 0);
    runJobs();
    EXPECT_TRUE(views.plotted().empty());  // nothing until let go

    playback.applyHandles();
    EXPECT_EQ(reinits, 1);
    EXPECT_EQ(std::pair(playback.range()->first, playback.range()->last),
              std::pair(d.first, d.last));
    runJobs();
    std::vector<int> range(std::max(0, d.last - d.first + 1));
    std::iota(range.begin(), range.end(), d.first);
    EXPECT_EQ(views.plotted(), range);
    EXPECT_EQ(views.clears(), 0);
}

INSTANTIATE_TEST_SUITE_P(Pvr, HandleDrags,
                         ::testing::Values(Drag{"Untouched", 10, 0, 0, 1, 10},
                                           Drag{"MinimumAFifthIn", 101, 1500, 0, 27, 101},
                                           Drag{"MaximumAFifthIn", 101, 0, -1500, 1, 75},
                                           Drag{"PastTheLeftEnd", 10, -750, -99999, 1, 1},
                                           Drag{"PastTheRightEnd", 10, 99999, 750, 10, 10},
                                           // Exactly onto the other handle: one twip apart.
                                           Drag{"MinimumOntoTheMaximum", 10,
                                                G::kMaxHandleRight - G::kHandleWidth, 0, 10, 10},
                                           Drag{"MaximumOntoTheMinimum", 10, 0,
                                                G::kHandleWidth - G::kMaxHandleRight, 1, 1},
                                           Drag{"OnePacket", 1, 1500, -1500, 1, 1},
                                           Drag{"NothingHeld", 0, 600, 0, 1, 0}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
