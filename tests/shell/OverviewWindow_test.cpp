#include <gtest/gtest.h>

#include <QEventLoop>
#include <QPushButton>
#include <QTest>

#include "control/OverviewStrip.h"
#include "control/PlaybackController.h"
#include "shell/OverviewWindow.h"
#include "support/AppRig.h"
#include "support/PcapBytes.h"
#include "support/WaitForLoad.h"

using namespace pelsid;
using namespace pelsid::test;

namespace {
// One UDP frame a second for ten seconds: frame k at k - 1 seconds.
std::string tenSeconds(const QTemporaryDir& dir) {
    Bytes b = pcapHeader(1);
    for (std::uint32_t k = 0; k < 10; ++k) {
        Bytes f(60, std::uint8_t(0xA0 + k));
        f[12] = 0x08;
        f[13] = 0x00;
        f[14] = 0x45;
        f[23] = 17;
        pcapFrame(b, f, 0, false, 1'800'000'000 + k, 0);
    }
    const std::string path = dir.filePath("ten.pcap").toStdString();
    writeFile(path, b);
    return path;
}

OverviewWindow* openOverview(AppRig& r) {
    r.entry("ToolOverview")->trigger();
    auto* w = qobject_cast<OverviewWindow*>(r.app.registry().existing("frmOverview"));
    if (w && w->running()) {
        QEventLoop loop;
        QObject::connect(w, &OverviewWindow::scanned, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return w;
}

void drag(QWidget* strip, int from, int to) {
    QTest::mousePress(strip, Qt::LeftButton, {}, QPoint(from, 20));
    QMouseEvent move(QEvent::MouseMove, QPointF(to, 20), strip->mapToGlobal(QPointF(to, 20)),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(strip, &move);
    QTest::mouseRelease(strip, Qt::LeftButton, {}, QPoint(to, 20));
}
}  // namespace

// A span dragged out on the strip loads exactly the frames of its
// intervals; the held span and the position are then marked, and a click
// in it moves the PVR there.
TEST(OverviewWindow, LoadsTheDraggedSpanAndMarksWhatIsHeld) {
    AppRig r;
    const std::string path = tenSeconds(r.dir);
    ASSERT_TRUE(r.app.loadDataset(QString::fromStdString(path)));
    r.waitForPlay();
    OverviewWindow* w = openOverview(r);
    ASSERT_TRUE(w);
    OverviewStrip* strip = w->strip();
    EXPECT_EQ(strip->overview().frames(), 10u);
    strip->setFixedWidth(1000);
    QCoreApplication::processEvents();
    ASSERT_EQ(strip->width(), 1000);
    // 10 ms a column: columns 300 and 600 are 2.7 s and 5.4 s from the first frame.
    drag(strip, 300, 600);
    const std::optional<LoadChoice> choice = w->spanChoice();
    ASSERT_TRUE(choice);
    EXPECT_EQ(choice->from, 4u);
    EXPECT_EQ(choice->to, 6u);

    r.dialogs.answers = {true};
    w->findChild<QPushButton*>("btnOverviewLoad")->click();
    waitForLoad(r.app);
    r.waitForPlay();
    ASSERT_EQ(r.app.buffer().newestHeld(), 3);
    EXPECT_EQ(r.app.buffer().captureTime(1).seconds, 1'800'000'003);
    EXPECT_EQ(r.app.buffer().captureTime(3).seconds, 1'800'000'005);

    // Hovering names an interval: its frames and first frame.
    EXPECT_TRUE(strip->describe(*strip->intervalAt(444))
                    .contains("1 frame, 60 bytes, first frame 5"));  // 4 s

    // A click inside the held span moves the PVR to the packet at or after it.
    QTest::mouseClick(strip, Qt::LeftButton, {}, QPoint(450, 20));  // 4.5 s: the packet at 5 s
    EXPECT_EQ(r.app.playback().position(), 3);
    QTest::mouseClick(strip, Qt::LeftButton, {}, QPoint(900, 20));  // outside: nothing moves
    EXPECT_EQ(r.app.playback().position(), 3);
}
