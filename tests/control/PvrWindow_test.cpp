#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QTest>
#include <numeric>

#include "control/BufferRange.h"
#include "control/FactorSpinBox.h"
#include "control/PlaybackController.h"
#include "control/PvrWindow.h"
#include "pipeline/FilterModel.h"
#include "pipeline/Pipeline.h"
#include "store/PacketBuffer.h"
#include "support/RecordingViews.h"
#include "widgets/SpinButton.h"
#include "widgets/SurfaceWidget.h"

using namespace pelsid;

namespace {

constexpr std::int64_t kMs = 1'000'000;
using State = PlaybackController::State;

class PvrWindowTest : public ::testing::Test {
  protected:
    PvrWindowTest() {
        buffer.setListener([this](const PacketBuffer&) { playback.bufferChanged(); });
    }
    ~PvrWindowTest() override { delete pvr.data(); }

    void fill(int n) {
        std::uint8_t bytes[60] = {};
        for (int i = 0; i < n; ++i) buffer.insertPacket({bytes, 60});
    }
    /// As the PVR window opens, without one.
    void load(int n) {
        fill(n);
        playback.reset();
    }

    PvrWindow& open() {
        pvr = new PvrWindow(playback, [this] { ++screenshots; });
        return *pvr;
    }

    template <class T = QPushButton>
    T* get(const char* name) {
        T* w = pvr->findChild<T*>(QLatin1String(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    QString text(const char* label) { return get<QLabel>(label)->text(); }
    int position() { return playback.position(); }
    bool timerOn() { return playback.running(); }
    bool pressed(const char* button) { return get(button)->isChecked(); }
    void click(const char* button) { get(button)->click(); }

    /// Moves the fake clock on and lets the play timer fire once.
    void advance(std::int64_t ms) {
        clock += ms * kMs;
        playback.onPlayTimer();
    }
    void runJobs() {
        while (pipeline.busy()) QCoreApplication::processEvents();
    }

    PacketBuffer buffer;
    FilterModel filters;
    test::RecordingViews views;
    Pipeline pipeline{buffer, filters, views};
    std::int64_t clock = 0;
    int reinits = 0;
    PlaybackController playback{
        buffer, pipeline, {[this] { ++reinits; }, [this] { return clock; }}};
    QPointer<PvrWindow> pvr;
    int screenshots = 0;
};

// The transport's state machine: every state, every button.
enum class Action { Play, Pause, Stop, Step };
struct Transition {
    State from;
    Action action;
    State to;
    int clears;  // views cleared by the action
};

std::string name(State s) {
    constexpr const char* kNames[] = {"Stopped", "Idle", "Playing", "Paused"};
    return kNames[int(s)];
}

class TransportTable : public PvrWindowTest,
                       public ::testing::WithParamInterface<std::tuple<Transition, bool>> {
  protected:
    /// Drives the controller, or (`buttons`) the PVR's buttons with the mouse.
    void act(Action a) {
        constexpr const char* kButtons[] = {"btnPlay", "btnPause", "btnStop", "btnStepForward"};
        if (std::get<1>(GetParam())) {
            QTest::mouseClick(get(kButtons[int(a)]), Qt::LeftButton);
            return;
        }
        using P = PlaybackController;
        constexpr void (P::*kActions[])() = {&P::play, &P::pause, &P::stop, &P::stepForward};
        (playback.*kActions[int(a)])();
    }
    void reach(State s) {
        if (s == State::Playing || s == State::Paused) act(Action::Play);
        if (s == State::Paused) act(Action::Pause);
        if (s == State::Idle) act(Action::Stop);
    }
};

TEST_P(TransportTable, EachButtonInEachState) {
    const Transition t = std::get<0>(GetParam());
    fill(4);
    open().show();
    reach(t.from);
    ASSERT_EQ(name(playback.state()), name(t.from));
    const int before = views.clears();
    act(t.action);
    EXPECT_EQ(name(playback.state()), name(t.to));
    EXPECT_EQ(views.clears() - before, t.clears);
    // Play shows pressed while playing or paused; the timer runs only while playing.
    EXPECT_EQ(timerOn(), t.to == State::Playing);
    EXPECT_EQ(pressed("btnPlay"), t.to == State::Playing || t.to == State::Paused);
    EXPECT_EQ(pressed("btnPause"), t.to == State::Paused);
    EXPECT_EQ(pressed("btnStop"), t.to == State::Stopped);
    if (t.action == Action::Stop || t.action == Action::Step) {
        EXPECT_EQ(position(), t.action == Action::Stop ? 1 : 2);
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
    {State::Idle, Action::Play, State::Playing, 0},  // Stop released: nothing cleared
    {State::Idle, Action::Pause, State::Idle, 0},
    {State::Idle, Action::Stop, State::Stopped, 0},
    {State::Playing, Action::Play, State::Playing, 0},  // Play stays pressed
    {State::Playing, Action::Pause, State::Paused, 0},
    {State::Playing, Action::Stop, State::Stopped, 0},
    {State::Playing, Action::Step, State::Playing, 0},
    {State::Paused, Action::Play, State::Playing, 0},  // Pause pops out
    {State::Paused, Action::Pause, State::Playing, 0},
    {State::Paused, Action::Stop, State::Stopped, 0},
    {State::Paused, Action::Step, State::Paused, 0},
};

std::string rowName(const ::testing::TestParamInfo<TransportTable::ParamType>& info) {
    const Transition& t = std::get<0>(info.param);
    constexpr const char* kActions[] = {"Play", "Pause", "Stop", "Step"};
    return name(t.from) + kActions[int(t.action)] +
           (std::get<1>(info.param) ? "Clicked" : "Called");
}

INSTANTIATE_TEST_SUITE_P(Pvr, TransportTable,
                         ::testing::Combine(::testing::ValuesIn(kTransitions), ::testing::Bool()),
                         rowName);

TEST_F(PvrWindowTest, OpensStoppedAtTheStartShowingTheBuffer) {
    fill(5);
    open();
    EXPECT_EQ(pvr->objectName(), "frmFilters");
    EXPECT_EQ(pvr->windowTitle(), "pelsid: PVR");
    EXPECT_TRUE(pressed("btnStop"));
    EXPECT_FALSE(pressed("btnPlay"));
    EXPECT_FALSE(pressed("btnPause"));
    EXPECT_FALSE(pressed("tglLoop"));
    EXPECT_FALSE(timerOn());
    EXPECT_EQ(position(), 1);
    EXPECT_EQ(get<QScrollBar>("scrPacket")->value(), 1);
    EXPECT_EQ(text("lblPacketCounter"), "5");
    EXPECT_EQ(text("lblPacketMin"), "1");
    EXPECT_EQ(text("lblPacketMax"), "5");
    EXPECT_EQ(text("lblCurrentSpeed"), "10");
    EXPECT_EQ(playback.timer().interval(), 100);
    EXPECT_EQ(playback.timer().timerType(), Qt::PreciseTimer);
    EXPECT_EQ(get("btnScreenShot")->toolTip(), "Save screenshots to application directory");
    EXPECT_EQ(get("btnStepBackward")->geometry(), QRect(16, 72, 57, 25));
    EXPECT_TRUE(views.plotted().empty());
    EXPECT_EQ(views.clears(), 0);
}

TEST_F(PvrWindowTest, EachTickPlaysTheNextPacketAndShowsIt) {
    fill(5);
    open();
    click("btnPlay");
    advance(99);
    EXPECT_TRUE(views.plotted().empty());  // not due yet
    advance(1);
    EXPECT_EQ(views.plotted(), std::vector<int>{2});  // the first tick moves past Min
    EXPECT_EQ(get<QScrollBar>("scrPacket")->value(), 2);
    EXPECT_EQ(text("lblPacketCounter"), "2");
    EXPECT_EQ(views.views[6].thumbnails, std::vector<int>{2});
    click("btnStop");
    EXPECT_EQ(text("lblPacketCounter"), "1");
}

TEST_F(PvrWindowTest, EndOfBufferStopsWithoutPressingStop) {
    fill(3);
    open();
    click("btnPlay");
    advance(100);
    advance(100);
    EXPECT_EQ(position(), 3);
    advance(100);
    EXPECT_FALSE(timerOn());
    EXPECT_FALSE(pressed("btnStop"));
    EXPECT_FALSE(pressed("btnPlay"));
    EXPECT_EQ(position(), 1);
    EXPECT_EQ(text("lblPacketCounter"), "1");
    EXPECT_EQ(views.plotted(), (std::vector<int>{2, 3}));
}

TEST_F(PvrWindowTest, LoopWrapsToMinAndGoesOn) {
    fill(3);
    open();
    click("tglLoop");
    click("btnPlay");
    for (int i = 0; i < 5; ++i) advance(100);
    EXPECT_EQ(views.plotted(), (std::vector<int>{2, 3, 1, 2, 3}));
    EXPECT_TRUE(timerOn());
    EXPECT_EQ(views.clears(), 1);  // only Play's own clear
}

TEST_F(PvrWindowTest, OnePacketStopsAtOnceOrLoopsOnIt) {
    fill(1);
    open();
    click("btnPlay");
    advance(100);
    EXPECT_FALSE(timerOn());
    EXPECT_TRUE(views.plotted().empty());

    click("tglLoop");
    click("btnPlay");
    advance(100);
    advance(100);
    EXPECT_EQ(views.plotted(), (std::vector<int>{1, 1}));
}

TEST_F(PvrWindowTest, NothingHeldStopsEvenWhenLooping) {
    open();
    EXPECT_EQ(text("lblPacketMax"), "0");
    click("tglLoop");
    click("btnPlay");
    advance(100);
    EXPECT_FALSE(timerOn());
    EXPECT_TRUE(views.plotted().empty());

    // Emptied while playing: the next tick stops.
    fill(4);
    click("btnPlay");
    advance(100);
    buffer.initBuffer();
    EXPECT_EQ(text("lblPacketCounter"), "0");
    advance(100);
    EXPECT_FALSE(timerOn());
    EXPECT_EQ(views.plotted(), std::vector<int>{2});
}

TEST_F(PvrWindowTest, StepsMoveOneWithinTheRangeInAnyState) {
    fill(3);
    open();
    click("btnStepBackward");
    EXPECT_TRUE(views.plotted().empty());  // at Min
    click("btnStepForward");
    click("btnStepForward");
    click("btnStepForward");  // at Max: nothing
    click("btnStepBackward");
    EXPECT_EQ(views.plotted(), (std::vector<int>{2, 3, 2}));
    EXPECT_EQ(position(), 2);
    EXPECT_EQ(views.clears(), 0);
    EXPECT_FALSE(timerOn());
    EXPECT_TRUE(pressed("btnStop"));
}

TEST_F(PvrWindowTest, SpeedButtonsAndIntervalRule) {
    fill(2);
    open();
    click("btnMaxSpeed");
    EXPECT_EQ(text("lblCurrentSpeed"), "1000");
    EXPECT_EQ(playback.timer().interval(), 1);
    click("btnMinSpeed");
    EXPECT_EQ(text("lblCurrentSpeed"), "1");
    EXPECT_EQ(playback.timer().interval(), 1000);
    EXPECT_EQ(get<QSpinBox>("spnSpeed")->value(), 1);
    for (auto [rate, ms] : {std::pair{1, 1000}, {3, 333}, {10, 100}, {16, 62}, {400, 2}, {1000, 1}})
        EXPECT_EQ(PlaybackController::intervalFor(rate), ms) << rate;
}

TEST_F(PvrWindowTest, SpeedArrowsStepTheRateItsLabelShows) {
    fill(2);
    open().show();
    auto* spin = get<QSpinBox>("spnSpeed");
    EXPECT_TRUE(qobject_cast<SpinButton*>(spin));  // a 33 x 33 place has no room for "1000"
    EXPECT_EQ(spin->geometry(), QRect(368, 16, 33, 33));
    EXPECT_FALSE(spin->findChild<QLineEdit*>()->isVisible());
    QTest::mouseClick(spin, Qt::LeftButton, {}, QPoint(8, 8));
    EXPECT_EQ(text("lblCurrentSpeed"), "11");
    EXPECT_EQ(playback.timer().interval(), 91);
    spin->setFocus();
    QTest::keyClick(spin, Qt::Key_Down);
    QTest::keyClick(spin, Qt::Key_Down);
    EXPECT_EQ(text("lblCurrentSpeed"), "9");
}

TEST_F(PvrWindowTest, TicksFollowTheClockNotTheTimer) {
    fill(1000);
    open();
    get<QSpinBox>("spnSpeed")->setValue(1000);
    click("btnPlay");
    advance(10);  // one late timer event owes ten ticks
    EXPECT_EQ(views.plotted().size(), 10u);
    EXPECT_EQ(views.plotted().back(), 11);

    // 16/s: the 62 ms timer fires a little early, the clock keeps 62.5 ms per packet.
    get<QSpinBox>("spnSpeed")->setValue(16);
    views.forget();
    for (int i = 0; i < 160; ++i) advance(62);
    EXPECT_EQ(views.plotted().size(), 158u);  // 9920 ms at 16/s

    // A long stall is caught up only up to a bound.
    get<QSpinBox>("spnSpeed")->setValue(1000);
    views.forget();
    advance(5000);
    EXPECT_EQ(views.plotted().size(), std::size_t(TickPacer::kMaxDebtNs / kMs));
}

TEST_F(PvrWindowTest, CatchUpStopsAtTheEndOfTheBuffer) {
    fill(3);
    open();
    get<QSpinBox>("spnSpeed")->setValue(1000);
    click("btnPlay");
    advance(50);
    EXPECT_EQ(views.plotted(), (std::vector<int>{2, 3}));
    EXPECT_FALSE(timerOn());
    EXPECT_EQ(position(), 1);
}

TEST_F(PvrWindowTest, ShowsTheMeasuredRateBesideTheRequestedOne) {
    fill(30);
    open();
    click("tglLoop");
    get<QSpinBox>("spnSpeed")->setValue(100);
    click("btnPlay");
    for (int i = 0; i < 200; ++i) advance(10);
    EXPECT_EQ(text("lblMeasuredSpeed"), "now 100");
    EXPECT_EQ(text("lblCurrentSpeed"), "100");
    click("btnStop");
    EXPECT_EQ(text("lblMeasuredSpeed"), "");
}

TEST_F(PvrWindowTest, PositionBarClearsAndDrawsExactlyOnePacket) {
    fill(5);
    open();
    auto* bar = get<QScrollBar>("scrPacket");
    bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(views.clears(), 1);
    EXPECT_EQ(views.plotted(), std::vector<int>{2});
    EXPECT_EQ(text("lblPacketCounter"), "2");

    bar->setValue(5);
    views.forget();
    bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);  // at Max: nothing
    EXPECT_EQ(views.clears(), 0);
    EXPECT_TRUE(views.plotted().empty());
}

TEST_F(PvrWindowTest, DraggingTheThumbDrawsEachPositionAndPlaybackGoesOnFromThere) {
    fill(10);
    open();
    click("btnPlay");
    views.forget();
    auto* bar = get<QScrollBar>("scrPacket");
    bar->setSliderDown(true);
    bar->setSliderPosition(4);
    bar->setSliderPosition(6);
    EXPECT_EQ(views.plotted(), (std::vector<int>{4, 6}));
    EXPECT_EQ(views.clears(), 2);
    bar->setSliderDown(false);  // the release is a change too
    EXPECT_EQ(views.plotted(), (std::vector<int>{4, 6, 6}));
    EXPECT_TRUE(timerOn());
    advance(100);
    EXPECT_EQ(views.plotted().back(), 7);
}

TEST_F(PvrWindowTest, RangeChangesFromTheBufferNeverPlayOrClear) {
    fill(3);
    open();
    click("btnPlay");
    views.forget();
    fill(PacketBuffer::kSlots - 2);  // 30001 packets: the oldest is overwritten
    EXPECT_EQ(text("lblPacketMin"), "2");
    EXPECT_EQ(text("lblPacketMax"), "30001");
    EXPECT_EQ(text("lblPacketCounter"), "30001");
    auto* bar = get<QScrollBar>("scrPacket");
    EXPECT_EQ(bar->minimum(), 2);
    EXPECT_EQ(bar->maximum(), 30001);
    EXPECT_EQ(position(), 2);  // pushed up with the range
    EXPECT_EQ(views.clears(), 0);
    EXPECT_TRUE(views.plotted().empty());
    advance(100);
    EXPECT_EQ(views.plotted(), std::vector<int>{3});
}

TEST_F(PvrWindowTest, ButtonsReachTheirOwners) {
    fill(2);
    open();
    click("btnClearVisualization");
    EXPECT_EQ(views.clears(), 1);
    click("btnScreenShot");
    EXPECT_EQ(screenshots, 1);
}

TEST_F(PvrWindowTest, ClosedAndReopenedShowsTheBufferAtOnce) {
    fill(7);
    open();
    get<QSpinBox>("spnSpeed")->setValue(500);
    click("tglLoop");
    click("btnPlay");
    pvr->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(pvr.isNull());
    fill(2);  // no window to tell

    open();
    EXPECT_EQ(text("lblPacketCounter"), "9");
    EXPECT_EQ(text("lblPacketMax"), "9");
    EXPECT_EQ(text("lblBufferRange"), "1 - 9");
    EXPECT_EQ(get<QScrollBar>("scrPacket")->maximum(), 9);
    EXPECT_EQ(position(), 1);
    EXPECT_EQ(text("lblCurrentSpeed"), "10");
    EXPECT_FALSE(pressed("tglLoop"));
    EXPECT_FALSE(timerOn());
}

TEST_F(PvrWindowTest, ResetRangeShowsTheWholeBuffer) {
    open();
    EXPECT_EQ(text("lblBufferRange"), "0");
    fill(250);
    playback.resetRange();
    EXPECT_EQ(text("lblBufferRange"), "1 - 250");
    EXPECT_EQ(text("lblRangeMax"), "250");
}

// Real Time: each packet waits its captured gap, divided by the factor.
class RealTimeTest : public PvrWindowTest {
  protected:
    /// Packets captured at these milliseconds after a second; -1 for no time.
    void fillAt(std::initializer_list<int> ms) {
        std::uint8_t bytes[60] = {};
        for (int t : ms) {
            CaptureTime time;
            if (t >= 0)
                time = {.seconds = 1765200000 + t / 1000,
                        .nanoseconds = std::uint32_t(t % 1000) * 1'000'000u,
                        .decimals = 6,
                        .known = true};
            buffer.insertPacket({bytes, 60}, time);
        }
    }
    QDoubleSpinBox* factor() { return get<QDoubleSpinBox>("spnRealTimeFactor"); }
};

TEST_F(RealTimeTest, ReleasedAtLoadWithAFactorOfOneBesideIt) {
    open();
    EXPECT_FALSE(pressed("tglRealTime"));
    EXPECT_EQ(get("tglRealTime")->text(), "Real Time");
    EXPECT_TRUE(get("tglRealTime")->isCheckable());
    EXPECT_DOUBLE_EQ(factor()->value(), 1.0);
    EXPECT_EQ(factor()->text(), QString::fromUtf8("1.0\u00D7"));
    EXPECT_DOUBLE_EQ(factor()->minimum(), 0.1);
    EXPECT_DOUBLE_EQ(factor()->maximum(), 100.0);
    // Both in the row of the range label, clear of the track and of each other.
    const QRect toggle = get("tglRealTime")->geometry();
    const QRect spin = factor()->geometry();
    EXPECT_FALSE(toggle.intersects(spin));
    EXPECT_FALSE(toggle.intersects(get<QLabel>("lblBufferRange")->geometry()));
    EXPECT_LT(spin.bottom(), get<SurfaceWidget>("picBufferSlider")->y());
    EXPECT_LE(spin.right(), pvr->width());
    EXPECT_GT(toggle.top(), get("btnScreenShot")->geometry().bottom());
}

TEST_F(RealTimeTest, EachTickWaitsTheCapturedGapOverTheFactor) {
    fillAt({0, 10, 30, 30, 130, 1130});
    open();
    click("tglRealTime");
    click("btnPlay");
    advance(9);
    EXPECT_TRUE(views.plotted().empty());
    advance(1);  // packet 2, 10 ms after packet 1
    EXPECT_EQ(views.plotted(), std::vector<int>{2});
    advance(19);
    EXPECT_EQ(views.plotted(), std::vector<int>{2});
    advance(1);  // packets 3 and 4 were captured together
    EXPECT_EQ(views.plotted(), (std::vector<int>{2, 3, 4}));

    factor()->setValue(10);  // 100 ms captured: 10 ms played
    advance(9);
    EXPECT_EQ(views.plotted().size(), 3u);
    advance(1);
    EXPECT_EQ(views.plotted().back(), 5);
    factor()->setValue(0.1);  // 1 s captured: 10 s played
    advance(9000);
    EXPECT_EQ(views.plotted().back(), 5);
    advance(1000);
    EXPECT_EQ(views.plotted().back(), 6);
    // The timer sleeps until the next packet is due, waking at least every 250 ms.
    EXPECT_GE(playback.timer().interval(), 1);
    EXPECT_LE(playback.timer().interval(), 250);
}

TEST_F(RealTimeTest, PacketsWithoutATimePlayAtTheRateSet) {
    fillAt({0, -1, 5000, 5001});
    open();
    get<QSpinBox>("spnSpeed")->setValue(20);  // 50 ms a packet
    click("tglRealTime");
    click("btnPlay");
    advance(49);
    EXPECT_TRUE(views.plotted().empty());
    advance(1);  // packet 2 has no time
    EXPECT_EQ(views.plotted(), std::vector<int>{2});
    advance(50);  // nor has the gap to packet 3
    EXPECT_EQ(views.plotted(), (std::vector<int>{2, 3}));
    advance(1);
    EXPECT_EQ(views.plotted(), (std::vector<int>{2, 3, 4}));
    // Looping back to the start keeps the rate, then the gaps again.
    click("tglLoop");
    advance(50);
    EXPECT_EQ(views.plotted().back(), 1);
}

TEST_F(RealTimeTest, ReleasedItPlaysAtTheRateAgainAndStallsAreBounded) {
    fillAt({0, 1000, 2000, 2100, 2200, 2300, 2400});
    open();
    click("tglRealTime");
    click("btnPlay");
    advance(1000);
    EXPECT_EQ(views.plotted(), std::vector<int>{2});
    click("tglRealTime");  // released: the rate set, 10 a second
    EXPECT_EQ(playback.timer().interval(), 100);
    advance(100);
    EXPECT_EQ(views.plotted(), (std::vector<int>{2, 3}));

    // After a stall of a minute only the last 100 ms are made up.
    click("tglRealTime");
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

TEST(FactorSpinBox, StepsOneTwoFiveFromAnyFactor) {
    EXPECT_DOUBLE_EQ(FactorSpinBox::stepped(1, 1), 2);
    EXPECT_DOUBLE_EQ(FactorSpinBox::stepped(1, 3), 10);
    EXPECT_DOUBLE_EQ(FactorSpinBox::stepped(1, -1), 0.5);
    EXPECT_DOUBLE_EQ(FactorSpinBox::stepped(3, 1), 5);
    EXPECT_DOUBLE_EQ(FactorSpinBox::stepped(3, -1), 2);
    EXPECT_DOUBLE_EQ(FactorSpinBox::stepped(50, 5), 100);
    EXPECT_DOUBLE_EQ(FactorSpinBox::stepped(0.2, -5), 0.1);
    FactorSpinBox box;
    QTest::keyClick(&box, Qt::Key_Up);
    QTest::keyClick(&box, Qt::Key_Up);
    EXPECT_DOUBLE_EQ(box.value(), 5);
}

// The range strip, driven through its handles.
class RangeStripTest : public PvrWindowTest {
  protected:
    void mouse(const char* handle, QEvent::Type type, int x) {
        auto* w = get<SurfaceWidget>(handle);
        const QPointF local(x, 8);
        QMouseEvent e(type, local, w->mapToGlobal(local), Qt::LeftButton,
                      type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton,
                      Qt::NoModifier);
        QCoreApplication::sendEvent(w, &e);
    }
    void drag(const char* handle, int dx) {
        mouse(handle, QEvent::MouseButtonPress, 8);
        mouse(handle, QEvent::MouseMove, 8 + dx);
        mouse(handle, QEvent::MouseButtonRelease, 8 + dx);
    }
    int left(const char* handle) { return get<SurfaceWidget>(handle)->x(); }
};

TEST_F(RangeStripTest, SitsBelowTheTransportRowInsideTheWindow) {
    open();
    auto* track = get<SurfaceWidget>("picBufferSlider");
    EXPECT_GE(track->y(), 103);
    EXPECT_LE(track->geometry().right(), pvr->width());
    EXPECT_LE(get<QLabel>("lblRangeMax")->geometry().bottom(), pvr->height());
    EXPECT_EQ(left("sliderBufferMin"), 0);
    EXPECT_EQ(left("sliderBufferMax"), 404);  // 6060 twips
}

TEST_F(RangeStripTest, MinimumHandleAppliesItsRangeOnRelease) {
    fill(101);
    open();
    mouse("sliderBufferMin", QEvent::MouseButtonPress, 8);
    mouse("sliderBufferMin", QEvent::MouseMove, 108);
    EXPECT_EQ(left("sliderBufferMin"), 100);
    EXPECT_TRUE(views.plotted().empty());
    mouse("sliderBufferMin", QEvent::MouseButtonRelease, 108);

    const PacketRange r = packetRangeFor(1500, BufferRangeGeometry::kTrackLength,
                                         BufferRangeGeometry::kTrackLength, 1, 101);
    EXPECT_EQ(r.first, 27);
    EXPECT_EQ(r.last, 101);
    EXPECT_EQ(text("lblBufferRange"), "27 - 101");
    EXPECT_EQ(reinits, 1);
    runJobs();
    std::vector<int> expected(75);
    std::iota(expected.begin(), expected.end(), 27);
    EXPECT_EQ(views.plotted(), expected);
    EXPECT_EQ(views.clears(), 0);
}

TEST_F(RangeStripTest, HandlesStayOnTheTrackAndApart) {
    fill(10);
    open();
    drag("sliderBufferMin", -50);
    EXPECT_EQ(left("sliderBufferMin"), 0);
    EXPECT_EQ(text("lblBufferRange"), "1 - 10");
    drag("sliderBufferMin", 1000);            // stops one twip before the maximum handle
    EXPECT_EQ(left("sliderBufferMin"), 387);  // (6060 - 255 - 1) twips
    EXPECT_EQ(text("lblBufferRange"), "10 - 10");

    drag("sliderBufferMin", -1000);
    drag("sliderBufferMax", -1000);  // the mirror: one twip right of the minimum handle
    EXPECT_EQ(left("sliderBufferMax"), 17);
    EXPECT_EQ(text("lblBufferRange"), "1 - 1");
    drag("sliderBufferMax", 1000);
    EXPECT_EQ(left("sliderBufferMax"), 404);
    EXPECT_EQ(text("lblBufferRange"), "1 - 10");
    EXPECT_EQ(reinits, 5);
}

TEST_F(RangeStripTest, EmptyBufferPlaysNothing) {
    open();
    drag("sliderBufferMin", 40);
    runJobs();
    EXPECT_TRUE(views.plotted().empty());
    EXPECT_EQ(text("lblBufferRange"), "1 - 0");
}

}  // namespace
