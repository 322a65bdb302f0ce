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
#include <algorithm>
#include <tuple>

#include "control/FactorSpinBox.h"
#include "control/PlaybackController.h"
#include "control/PvrWindow.h"
#include "support/PlaybackRig.h"
#include "widgets/SpinButton.h"
#include "widgets/SurfaceWidget.h"

using namespace pelsid;

namespace {

// The window shows the controller and edits it; what playing does is the
// controller's, tested on its own.
class PvrWindowTest : public test::PlaybackRig {
  protected:
    ~PvrWindowTest() override { delete pvr.data(); }

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
    bool pressed(const char* button) { return get(button)->isChecked(); }
    void click(const char* button) { get(button)->click(); }
    /// The toggles show the controller's state.
    void expectTogglesShowState() {
        EXPECT_EQ(pressed("btnPlay"), playback.playPressed());
        EXPECT_EQ(pressed("btnPause"), playback.pausePressed());
        EXPECT_EQ(pressed("btnStop"), playback.stopPressed());
        EXPECT_EQ(pressed("tglLoop"), playback.loop());
        EXPECT_EQ(pressed("tglRealTime"), playback.realTime());
    }
    /// A press, a move by `dx` pixels and a release on a range handle.
    void drag(const char* handle, int dx) {
        auto* w = get<SurfaceWidget>(handle);
        for (auto [type, x] : {std::pair{QEvent::MouseButtonPress, 8},
                               {QEvent::MouseMove, 8 + dx},
                               {QEvent::MouseButtonRelease, 8 + dx}}) {
            const QPointF local(x, 8);
            QMouseEvent e(type, local, w->mapToGlobal(local), Qt::LeftButton,
                          type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton,
                          Qt::NoModifier);
            QCoreApplication::sendEvent(w, &e);
            if (type == QEvent::MouseMove) {
                EXPECT_TRUE(views.plotted().empty());  // not until let go
            }
        }
    }

    QPointer<PvrWindow> pvr;
    int screenshots = 0;
};

// Opening resets the controller and shows it; closing ends playback.
TEST_F(PvrWindowTest, OpensShowingTheResetControllerAndClosingEndsPlayback) {
    open();
    EXPECT_EQ(text("lblBufferRange"), "0");  // nothing held
    EXPECT_EQ(text("lblPacketMax"), "0");
    fill(5);
    EXPECT_EQ(text("lblPacketMax"), "5");
    get<QSpinBox>("spnSpeed")->setValue(500);
    click("tglLoop");
    click("btnPlay");
    pvr->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(pvr.isNull());
    EXPECT_FALSE(playback.running());
    fill(PacketBuffer::kSlots - 4);  // no window to tell; the oldest is overwritten

    open();
    EXPECT_EQ(pvr->objectName(), "frmFilters");
    EXPECT_EQ(pvr->windowTitle(), "pelsid: PVR");
    EXPECT_TRUE(pressed("btnStop"));
    EXPECT_FALSE(pressed("tglLoop"));
    expectTogglesShowState();
    for (auto [label, shown] : {std::pair{"lblPacketCounter", "30001"},
                                {"lblPacketMin", "2"},
                                {"lblPacketMax", "30001"},
                                {"lblCurrentSpeed", "10"},
                                {"lblBufferRange", "2 - 30001"},
                                {"lblRangeMin", "2"},
                                {"lblRangeMax", "30001"}})
        EXPECT_EQ(text(label), shown) << label;
    auto* bar = get<QScrollBar>("scrPacket");
    EXPECT_EQ(std::tuple(bar->minimum(), bar->value(), bar->maximum()), std::tuple(2, 2, 30001));
    EXPECT_EQ(get("btnScreenShot")->toolTip(), "Save screenshots to application directory");
    EXPECT_EQ(get("tglRealTime")->text(), "Real Time");
    auto* factor = get<QDoubleSpinBox>("spnRealTimeFactor");
    EXPECT_EQ(factor->text(), QString::fromUtf8("1.0\u00D7"));
    EXPECT_EQ(std::pair(factor->minimum(), factor->maximum()), std::pair(0.1, 100.0));
}

// Each button clicked in each state leaves the controller as its own call
// does, and the toggles show the state, whatever a click did to them.
TEST_F(PvrWindowTest, TransportButtonsActOnTheControllerAndShowItsState) {
    fill(4);
    open().show();
    constexpr const char* kButtons[] = {"btnPlay", "btnPause", "btnStop", "btnStepForward",
                                        "btnStepBackward"};
    using P = PlaybackController;
    constexpr void (P::*kActions[])() = {&P::play, &P::pause, &P::stop, &P::stepForward,
                                         &P::stepBackward};
    // Stopped, Idle, Playing, Paused, and a step in.
    const std::vector<std::vector<int>> paths = {{}, {2}, {0}, {0, 1}, {3}};
    auto act = [&](int a, bool click) {
        click ? QTest::mouseClick(get(kButtons[a]), Qt::LeftButton) : (playback.*kActions[a])();
    };
    for (const auto& path : paths) {
        for (int b = 0; b < 5; ++b) {
            auto run = [&](bool clicks) {
                playback.reset();
                views.forget();
                for (int a : path) act(a, clicks);
                act(b, clicks);
                return std::tuple(int(playback.state()), playback.position(), playback.running(),
                                  views.clears(), views.plotted());
            };
            const auto called = run(false);
            EXPECT_EQ(run(true), called) << kButtons[b] << " after " << path.size();
            expectTogglesShowState();
            EXPECT_EQ(get<QScrollBar>("scrPacket")->value(), playback.position());
        }
    }
}

TEST_F(PvrWindowTest, ControlsFitInsideTheWindowAndApart) {
    open().show();
    std::vector<QWidget*> controls;
    for (QWidget* w : pvr->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        EXPECT_TRUE(pvr->rect().contains(w->geometry())) << w->objectName().toStdString();
        controls.push_back(w);
    }
    EXPECT_GE(controls.size(), 25u);
    // Neighbours may share a border line. Two counters reach under the
    // position bar below their text, and the measured rate sits in the rate's label.
    const QString layered[] = {"lblPacketMax scrPacket", "lblCurrentSpeed scrPacket",
                               "lblCurrentSpeed lblMeasuredSpeed"};
    for (std::size_t i = 0; i < controls.size(); ++i)
        for (std::size_t j = i + 1; j < controls.size(); ++j) {
            const QRect both = controls[i]->geometry() & controls[j]->geometry();
            const QString pair = controls[i]->objectName() + ' ' + controls[j]->objectName();
            EXPECT_TRUE(both.width() <= 1 || both.height() <= 1 ||
                        std::ranges::count(layered, pair))
                << controls[i]->objectName().toStdString() << " over "
                << controls[j]->objectName().toStdString();
        }
    // The handles start at the track's ends, on it and apart.
    const QRect track = get<SurfaceWidget>("picBufferSlider")->rect();
    const QRect min = get<SurfaceWidget>("sliderBufferMin")->geometry();
    const QRect max = get<SurfaceWidget>("sliderBufferMax")->geometry();
    EXPECT_EQ(min.left(), 0);
    EXPECT_GT(max.right(), track.right() - min.width() / 2);
    EXPECT_TRUE(track.contains(min) && track.contains(max));
    // A 33 x 33 place has no room for "1000": the rate is stepped with arrows alone.
    auto* spin = get<QSpinBox>("spnSpeed");
    EXPECT_TRUE(qobject_cast<SpinButton*>(spin));
    EXPECT_FALSE(spin->findChild<QLineEdit*>()->isVisible());
}

TEST_F(PvrWindowTest, EditsReachTheControllerAndShowIt) {
    fill(2);
    open().show();
    auto* spin = get<QSpinBox>("spnSpeed");
    click("btnMaxSpeed");
    EXPECT_EQ(playback.rate(), 1000);
    EXPECT_EQ(text("lblCurrentSpeed"), "1000");
    click("btnMinSpeed");
    EXPECT_EQ(playback.rate(), 1);
    EXPECT_EQ(spin->value(), 1);
    playback.setRate(10);
    EXPECT_EQ(spin->value(), 10);
    QTest::mouseClick(spin, Qt::LeftButton, {}, QPoint(8, 8));
    EXPECT_EQ(playback.rate(), 11);
    spin->setFocus();
    QTest::keyClick(spin, Qt::Key_Down);
    QTest::keyClick(spin, Qt::Key_Down);
    EXPECT_EQ(playback.rate(), 9);
    EXPECT_EQ(text("lblCurrentSpeed"), "9");

    click("tglRealTime");
    EXPECT_TRUE(playback.realTime());
    auto* factor = get<QDoubleSpinBox>("spnRealTimeFactor");
    factor->setValue(10);
    EXPECT_EQ(playback.factor(), 10);
    playback.setFactor(2);
    playback.setRealTime(false);
    EXPECT_EQ(factor->value(), 2);
    expectTogglesShowState();
    click("btnClearVisualization");
    EXPECT_EQ(views.clears(), 1);
    click("btnScreenShot");
    EXPECT_EQ(screenshots, 1);
}

TEST_F(PvrWindowTest, ShowsThePositionAndRateAndItsBarSeeks) {
    fill(30);
    open();
    get<QSpinBox>("spnSpeed")->setValue(100);
    click("tglLoop");
    click("btnPlay");
    advance(10);
    auto* bar = get<QScrollBar>("scrPacket");
    EXPECT_EQ(std::pair(bar->value(), text("lblPacketCounter")), std::pair(2, QString("2")));
    for (int i = 0; i < 200; ++i) advance(10);
    EXPECT_EQ(text("lblMeasuredSpeed"), "now 100");
    EXPECT_EQ(text("lblCurrentSpeed"), "100");
    click("btnStop");
    EXPECT_EQ(text("lblMeasuredSpeed"), "");
    EXPECT_EQ(text("lblPacketCounter"), "1");

    views.forget();
    bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(views.clears(), 1);
    EXPECT_EQ(views.plotted(), std::vector<int>{2});
    EXPECT_EQ(text("lblPacketCounter"), "2");
    bar->setValue(30);
    views.forget();
    bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);  // at the newest: nothing
    EXPECT_EQ(views.clears(), 0);
    EXPECT_TRUE(views.plotted().empty());

    click("btnPlay");
    views.forget();
    bar->setSliderDown(true);  // while the thumb is held each place is drawn
    bar->setSliderPosition(4);
    bar->setSliderPosition(6);
    EXPECT_EQ(views.plotted(), (std::vector<int>{4, 6}));
    EXPECT_EQ(views.clears(), 2);
    bar->setSliderDown(false);  // the release is a change too
    EXPECT_EQ(views.plotted(), (std::vector<int>{4, 6, 6}));
    EXPECT_EQ(playback.position(), 6);
    EXPECT_TRUE(playback.running());
}

// The range handles follow the mouse, stay on the track and apart, and
// choose their range when let go.
TEST_F(PvrWindowTest, RangeHandlesFollowTheMouseAndChooseOnRelease) {
    fill(101);
    open();
    auto* minHandle = get<SurfaceWidget>("sliderBufferMin");
    auto* maxHandle = get<SurfaceWidget>("sliderBufferMax");
    const int width = get<SurfaceWidget>("picBufferSlider")->width();
    drag("sliderBufferMin", 100);
    EXPECT_EQ(minHandle->x(), 100);
    EXPECT_EQ(text("lblBufferRange"), "27 - 101");
    EXPECT_EQ(reinits, 1);
    runJobs();
    EXPECT_EQ(views.plotted().size(), 75u);
    EXPECT_EQ(views.clears(), 0);

    for (auto [handle, dx] : {std::pair{"sliderBufferMax", -1000},
                              {"sliderBufferMin", 1000},
                              {"sliderBufferMax", 1000},
                              {"sliderBufferMin", -1000}}) {
        views.forget();
        drag(handle, dx);
        runJobs();
        EXPECT_GE(minHandle->x(), 0);
        EXPECT_LT(minHandle->geometry().right(), maxHandle->x());
        EXPECT_LE(maxHandle->geometry().right(), width);
        const PacketRange r = *playback.range();
        EXPECT_EQ(text("lblBufferRange"), QStringLiteral("%1 - %2").arg(r.first).arg(r.last));
        EXPECT_EQ(views.plotted().front(), r.first) << handle << dx;
    }
    EXPECT_EQ(text("lblBufferRange"), "1 - 101");
    EXPECT_EQ(reinits, 5);
}

TEST(FactorSpinBox, StepsOneTwoFiveFromAnyFactor) {
    for (auto [from, steps, to] : {std::tuple{1.0, 1, 2.0},
                                   {1.0, 3, 10.0},
                                   {1.0, -1, 0.5},
                                   {3.0, 1, 5.0},
                                   {3.0, -1, 2.0},
                                   {50.0, 5, 100.0},
                                   {0.2, -5, 0.1}})
        EXPECT_DOUBLE_EQ(FactorSpinBox::stepped(from, steps), to) << from << " by " << steps;
    FactorSpinBox box;
    QTest::keyClick(&box, Qt::Key_Up);
    QTest::keyClick(&box, Qt::Key_Up);
    EXPECT_DOUBLE_EQ(box.value(), 5);
}

}  // namespace
