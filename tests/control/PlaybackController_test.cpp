#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTest>
#include <numeric>
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
};

class PlayRuns : public PlaybackTest, public ::testing::WithParamInterface<PlayRun> {};

TEST_P(PlayRuns, PlaysOnTheClock) {
    const PlayRun& r = GetParam();
    fill(r.packets);
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
        PlayRun{"StallMakesUpOnly100ms", 1000, 1000, false, {{5000, 1}}, 100, {101}, true},
        PlayRun{"EndStops", 3, 10, false, {{100, 3}}, 2, {2, 3}, false},
        PlayRun{"CatchUpStopsAtTheEnd", 3, 1000, false, {{50, 1}}, 2, {2, 3}, false},
        PlayRun{"LoopWraps", 3, 10, true, {{100, 5}}, 5, {2, 3, 1, 2, 3}, true},
        PlayRun{"OnePacketStops", 1, 10, false, {{100, 1}}, 0, {}, false},
        PlayRun{"OnePacketLoopsOnIt", 1, 10, true, {{100, 2}}, 2, {1, 1}, true},
        PlayRun{"NothingHeldStopsEvenLooping", 0, 10, true, {{100, 1}}, 0, {}, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(PlaybackTest, ResetRestoresWhatTheWindowOpensWith) {
    fill(5);
    playback.reset();
    playback.setRate(500);
    playback.setLoop(true);
    playback.setRealTime(true);
    playback.setFactor(10);
    playback.dragMinHandle(600, 0);
    playback.play();
    advance(1000);
    playback.halt();  // the window closed
    EXPECT_FALSE(playback.running());
    fill(2);

    playback.reset();
    EXPECT_EQ(name(playback.state()), "Stopped");
    EXPECT_EQ(playback.position(), 1);
    EXPECT_EQ(playback.last(), 7);
    EXPECT_EQ(playback.rate(), PlaybackController::kDefaultRate);
    EXPECT_FALSE(playback.loop());
    EXPECT_FALSE(playback.realTime());
    EXPECT_EQ(playback.factor(), 1.0);
    EXPECT_EQ(playback.handles().minLeft, 0);
    EXPECT_EQ(playback.handles().maxLeft, G::kMaxHandleRight);
    EXPECT_EQ(playback.range()->first, 1);
    EXPECT_EQ(playback.range()->last, 7);
    EXPECT_EQ(playback.extent()->last, 7);
}

TEST_F(PlaybackTest, RangeIsTheWholeBufferOnceAnythingIsHeld) {
    playback.reset();
    EXPECT_FALSE(playback.range());
    EXPECT_FALSE(playback.extent());
    fill(250);
    playback.dragMaxHandle(-600, 0);
    playback.resetRange();
    EXPECT_EQ(playback.range()->first, 1);
    EXPECT_EQ(playback.range()->last, 250);
    EXPECT_EQ(playback.extent()->last, 250);
    EXPECT_EQ(playback.handles().maxLeft, G::kMaxHandleRight - 600);  // the handles stay
}

TEST_F(PlaybackTest, StepsMoveOneWithinTheBuffer) {
    fill(3);
    playback.reset();
    playback.stepBackward();                             // at the oldest: nothing
    for (int i = 0; i < 3; ++i) playback.stepForward();  // the third at the newest: nothing
    playback.stepBackward();
    EXPECT_EQ(views.plotted(), (std::vector<int>{2, 3, 2}));
    EXPECT_EQ(playback.position(), 2);
    EXPECT_EQ(views.clears(), 0);
    EXPECT_EQ(name(playback.state()), "Stopped");
}

TEST_F(PlaybackTest, SeekClearsAndDrawsOnePacketWithinTheBuffer) {
    fill(10);
    playback.reset();
    playback.goTo(1);  // where it stands: nothing
    EXPECT_EQ(views.clears(), 0);
    for (auto [to, drawn] : {std::pair{0, 1}, {2, 2}, {10, 10}, {11, 10}}) {
        views.forget();
        playback.seek(to);
        EXPECT_EQ(views.clears(), 1) << to;
        EXPECT_EQ(views.plotted(), std::vector<int>{drawn}) << to;
        EXPECT_EQ(playback.position(), drawn);
    }
    views.forget();
    playback.goTo(99);  // the newest, where it stands
    EXPECT_TRUE(views.plotted().empty());
    playback.play();  // playing goes on from a seek
    playback.seek(6);
    advance(100);
    EXPECT_EQ(views.plotted().back(), 7);
}

TEST_F(PlaybackTest, BufferChangesMoveTheBoundsAndNeverPlayOrClear) {
    fill(3);
    playback.reset();
    playback.play();
    views.forget();
    QSignalSpy held(&playback, &PlaybackController::heldChanged);
    fill(PacketBuffer::kSlots - 2);  // 30001 packets: the oldest is overwritten
    EXPECT_FALSE(held.isEmpty());
    EXPECT_EQ(playback.first(), 2);
    EXPECT_EQ(playback.last(), 30001);
    EXPECT_EQ(playback.newest(), 30001);
    EXPECT_EQ(playback.position(), 2);  // pushed up with the oldest
    EXPECT_EQ(views.clears(), 0);
    EXPECT_TRUE(views.plotted().empty());
    advance(100);
    EXPECT_EQ(views.plotted(), std::vector<int>{3});

    buffer.initBuffer();  // emptied while playing: the next tick stops
    EXPECT_EQ(playback.newest(), 0);
    EXPECT_EQ(playback.position(), 1);
    advance(100);
    EXPECT_FALSE(playback.running());
    EXPECT_EQ(views.plotted(), std::vector<int>{3});
}

TEST_F(PlaybackTest, RateStaysInItsBoundsAndItsIntervalFollows) {
    for (auto [asked, rate] : {std::pair{0, 1}, {1, 1}, {1000, 1000}, {1001, 1000}, {37, 37}}) {
        playback.setRate(asked);
        EXPECT_EQ(playback.rate(), rate) << asked;
    }
    for (auto [rate, ms] : {std::pair{1, 1000}, {3, 333}, {10, 100}, {16, 62}, {400, 2}, {1000, 1}})
        EXPECT_EQ(PlaybackController::intervalFor(rate), ms) << rate;
    playback.setFactor(1000);
    EXPECT_EQ(playback.factor(), RealTimePacer::kMaxFactor);
    playback.setFactor(0);
    EXPECT_EQ(playback.factor(), RealTimePacer::kMinFactor);
}

// On the real clock and timer: a rate raised from the slowest plays soon, not a second later.
TEST_F(PlaybackTest, AFasterRateGivesTicksSooner) {
    fill(100);
    PlaybackController real(buffer, pipeline);
    real.reset();
    real.setRate(PlaybackController::kMinRate);
    real.setRate(PlaybackController::kMaxRate);
    real.play();
    EXPECT_TRUE(QTest::qWaitFor([&] { return views.plotted().size() >= 5; }, 700));
    real.stop();
}

// Real Time: each packet waits its captured gap, divided by the factor.
TEST_F(PlaybackTest, RealTimeWaitsTheCapturedGapOverTheFactor) {
    fillAt({0, 10, 30, 30, 130, 1130});
    playback.reset();
    playback.setRealTime(true);
    playback.play();
    advance(9);
    EXPECT_TRUE(views.plotted().empty());
    advance(1);  // packet 2, 10 ms after packet 1
    EXPECT_EQ(views.plotted(), std::vector<int>{2});
    advance(19);
    EXPECT_EQ(views.plotted(), std::vector<int>{2});
    advance(1);  // packets 3 and 4 were captured together
    EXPECT_EQ(views.plotted(), (std::vector<int>{2, 3, 4}));

    playback.setFactor(10);  // 100 ms captured: 10 ms played
    advance(9);
    EXPECT_EQ(views.plotted().size(), 3u);
    advance(1);
    EXPECT_EQ(views.plotted().back(), 5);
    playback.setFactor(0.1);  // 1 s captured: 10 s played
    advance(9000);
    EXPECT_EQ(views.plotted().back(), 5);
    advance(1000);
    EXPECT_EQ(views.plotted().back(), 6);
}

TEST_F(PlaybackTest, RealTimePlaysPacketsWithoutATimeAtTheRateSet) {
    fillAt({0, -1, 5000, 5001});
    playback.reset();
    playback.setRate(20);  // 50 ms a packet
    playback.setRealTime(true);
    playback.play();
    advance(49);
    EXPECT_TRUE(views.plotted().empty());
    advance(1);  // packet 2 has no time
    EXPECT_EQ(views.plotted(), std::vector<int>{2});
    advance(50);  // nor has the gap to packet 3
    EXPECT_EQ(views.plotted(), (std::vector<int>{2, 3}));
    advance(1);
    EXPECT_EQ(views.plotted(), (std::vector<int>{2, 3, 4}));
    // Looping back to the start keeps the rate, then the gaps again.
    playback.setLoop(true);
    advance(50);
    EXPECT_EQ(views.plotted().back(), 1);
}

TEST_F(PlaybackTest, RealTimeReleasedPlaysAtTheRateAndStallsAreBounded) {
    fillAt({0, 1000, 2000, 2100, 2200, 2300, 2400});
    playback.reset();
    playback.setRealTime(true);
    playback.play();
    advance(1000);
    EXPECT_EQ(views.plotted(), std::vector<int>{2});
    playback.setRealTime(false);  // the rate set, 10 a second
    advance(99);
    EXPECT_EQ(views.plotted(), std::vector<int>{2});
    advance(1);
    EXPECT_EQ(views.plotted(), (std::vector<int>{2, 3}));

    // After a stall of a minute only the last 100 ms are made up.
    playback.setRealTime(true);
    advance(60000);
    EXPECT_EQ(views.plotted(), (std::vector<int>{2, 3, 4, 5}));
    advance(99);
    EXPECT_EQ(views.plotted().size(), 4u);
    advance(1);
    EXPECT_EQ(views.plotted().back(), 6);

    // Times out of order play at once.
    EXPECT_EQ(
        RealTimePacer::waitNs({.seconds = 5, .known = true}, {.seconds = 4, .known = true}, 1, 7),
        0);
}

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
}

// The range handles: dragged in twips, they stay on the track and apart, and
// their places become the range played when they are let go.
struct Drag {
    const char* name;
    int packets;
    int minBy, maxBy;  // twips
    int first, last;   // the range chosen
};

class HandleDrags : public PlaybackTest, public ::testing::WithParamInterface<Drag> {};

TEST_P(HandleDrags, StayOnTheTrackApartAndPlayTheirRange) {
    const Drag& d = GetParam();
    fill(d.packets);
    playback.reset();
    QSignalSpy changed(&playback, &PlaybackController::rangeChanged);
    playback.dragMinHandle(d.minBy + 100, 100);
    playback.dragMaxHandle(d.maxBy + 50, 50);
    EXPECT_EQ(changed.count(), 2);
    const PlaybackController::Handles& h = playback.handles();
    EXPECT_GE(h.minLeft, 0);
    EXPECT_LT(h.minLeft + G::kHandleWidth, h.maxLeft);
    EXPECT_LE(h.maxLeft, G::kMaxHandleRight);
    EXPECT_EQ(reinits, 0);
    runJobs();
    EXPECT_TRUE(views.plotted().empty());  // nothing until let go

    playback.applyHandles();
    EXPECT_EQ(reinits, 1);
    EXPECT_EQ(playback.range()->first, d.first);
    EXPECT_EQ(playback.range()->last, d.last);
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
                                           Drag{"OnePacket", 1, 1500, -1500, 1, 1},
                                           Drag{"NothingHeld", 0, 600, 0, 1, 0}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
