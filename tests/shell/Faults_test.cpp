// Commands that arrive in the middle of work: between two packets of a range
// being played, during a load, while windows change under the pipeline.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <thread>

#include "control/CaptureWindow.h"
#include "raster/Surface.h"
#include "shell/Application.h"
#include "support/AppRig.h"
#include "support/CaptureSessionRig.h"
#include "support/DatasetFile.h"
#include "support/LoopbackUdp.h"
#include "support/ScriptedDialogs.h"
#include "views/TextRainfallWindow.h"

using namespace pelsid;
using namespace pelsid::test;

namespace {

struct Rig : AppRig {
    Rig() {
        app.pipeline().setSliceBudget(0);  // one packet per slice: every gap is reachable
    }
    // Lets the play run until at least `packet` has been handed to the views.
    void playUntil(int packet) {
        while (app.pipeline().busy() && app.pipeline().lastPlayed() < packet)
            QCoreApplication::processEvents();
    }
    // True when packets 1..count hold the records of the file marked `mark`.
    bool holdsFile(int count, char mark) {
        const PacketBuffer& b = app.buffer();
        if (b.newestHeld() != count) return false;
        for (int n = 1; n <= count; ++n)
            if (b.getPacketByte(n, 42) != mark || b.getPacketByte(n, 43) != ((n - 1) & 0x7F) ||
                b.frameLength(n) != 60)
                return false;
        return true;
    }
    CaptureWindow* captureWindow() {
        app.registry().toggleWindow(QStringLiteral("frmCapture"));
        return static_cast<CaptureWindow*>(app.registry().existing(QStringLiteral("frmCapture")));
    }
    // Runs the event loop until `done` holds; false if it still does not after
    // `ms`, which only keeps a broken build from hanging.
    template <class F>
    bool processUntil(F done, int ms = 20000) {
        QElapsedTimer t;
        t.start();
        while (!done() && t.elapsed() < ms)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        return done();
    }
};
}  // namespace

TEST(Faults, ViewWindowClosedWhileARangePlaysIntoIt) {
    Rig r;
    r.showAllViews();
    ASSERT_TRUE(r.app.loadDataset(writeDataset(r.dir, "a.pelsid", 300, 'a')));
    r.playUntil(50);
    ASSERT_TRUE(r.app.pipeline().busy());
    for (int n = 1; n <= ViewSet::kViewCount; ++n) {
        r.closeWindow(QStringLiteral("frmVis%1").arg(n));
        r.playUntil(50 + 20 * n);
    }
    r.waitForPlay();
    EXPECT_EQ(r.app.pipeline().lastPlayed(), 300);
    EXPECT_TRUE(r.holdsFile(300, 'a'));
    // The thumbnails keep running: the pipeline recreates closed views hidden.
    for (int i = 0; i < ViewSet::kViewCount; ++i) EXPECT_FALSE(r.app.isShown(i)) << i;
    auto* rain = static_cast<TextRainfallWindow*>(r.app.viewWindow(0));
    EXPECT_GT(rain->renderer().thumbnailScrollLocation(), 0);
}

TEST(Faults, BufferClearedWhileARangePlays) {
    Rig r;
    r.showAllViews();
    ASSERT_TRUE(r.app.loadDataset(writeDataset(r.dir, "a.pelsid", 300, 'a')));
    r.playUntil(40);
    const int stopped = r.app.pipeline().lastPlayed();
    r.app.buffer().initBuffer();
    r.waitForPlay();  // the old range ends at once: its packets are gone
    EXPECT_LE(r.app.pipeline().lastPlayed(), stopped + 1);
    EXPECT_EQ(r.app.buffer().newestHeld(), 0);

    // The same through the loader: Yes empties the buffer, only the new file plays.
    ASSERT_TRUE(r.app.loadDataset(writeDataset(r.dir, "b.pelsid", 300, 'b')));
    r.playUntil(40);
    r.dialogs.answers = {true};
    ASSERT_TRUE(r.app.loadDataset(writeDataset(r.dir, "c.pelsid", 20, 'c')));
    r.waitForPlay();
    EXPECT_EQ(r.app.pipeline().lastPlayed(), 20);
    EXPECT_TRUE(r.holdsFile(20, 'c'));
}

TEST(Faults, SecondLoadAnsweredNoQueuesBehindTheFirstPlay) {
    Rig r;
    ASSERT_TRUE(r.app.loadDataset(writeDataset(r.dir, "a.pelsid", 200, 'a')));
    r.playUntil(30);
    r.dialogs.answers = {false};
    ASSERT_TRUE(r.app.loadDataset(writeDataset(r.dir, "b.pelsid", 50, 'b')));
    EXPECT_EQ(r.app.buffer().newestHeld(), 250);
    r.waitForPlay();
    EXPECT_EQ(r.app.pipeline().lastPlayed(), 250);
    EXPECT_EQ(r.app.buffer().getPacketByte(200, 42), 'a');
    EXPECT_EQ(r.app.buffer().getPacketByte(201, 42), 'b');
}

TEST(Faults, FiltersWindowClosedBetweenTwoPackets) {
    Rig r;
    r.showAllViews();
    r.app.registry().toggleWindow(QStringLiteral("frmEncodings"));
    r.app.registry().existing("frmEncodings")->findChild<QPushButton*>("tglTCP")->click();
    ASSERT_TRUE(r.app.filters().isFilteredOut(6));
    ASSERT_TRUE(r.app.loadDataset(writeDataset(r.dir, "a.pelsid", 300, 'a')));
    r.playUntil(50);
    r.closeWindow(QStringLiteral("frmEncodings"));
    EXPECT_FALSE(r.app.filters().isFilteredOut(6));  // back to the defaults mid-play
    r.waitForPlay();
    EXPECT_EQ(r.app.pipeline().lastPlayed(), 300);  // the last record is TCP: shown again
    r.app.registry().toggleWindow(QStringLiteral("frmEncodings"));
    EXPECT_FALSE(
        r.app.registry().existing("frmEncodings")->findChild<QPushButton*>("tglTCP")->isChecked());
}

TEST(Faults, ExitDuringAPlayEndsItAndLeavesTheBufferWhole) {
    Rig r;
    r.showAllViews();
    ASSERT_TRUE(r.app.loadDataset(writeDataset(r.dir, "a.pelsid", 300, 'a')));
    r.playUntil(20);
    // Exit from a timer while an event loop waits for the play, as the menu would.
    QTimer::singleShot(0, &r.app, [&r] { r.app.exit(); });
    QEventLoop loop;
    QObject::connect(&r.app.pipeline(), &Pipeline::finished, &loop, &QEventLoop::quit);
    loop.exec();
    EXPECT_FALSE(r.app.pipeline().busy());
    EXPECT_LT(r.app.pipeline().lastPlayed(), 300);
    EXPECT_TRUE(r.holdsFile(300, 'a'));
}

TEST(Faults, ExitDuringALoadTakesEffectOnceTheFileIsStored) {
    // A load reads and stores the whole file in one step; an Exit chosen
    // meanwhile waits in the event queue and then ends the play.
    Rig r;
    const QString file = writeDataset(r.dir, "a.pelsid", 300, 'a');
    QTimer::singleShot(0, &r.app, [&r] { r.app.exit(); });
    ASSERT_TRUE(r.app.loadDataset(file));
    EXPECT_TRUE(r.holdsFile(300, 'a'));
    QCoreApplication::processEvents();
    EXPECT_FALSE(r.app.pipeline().busy());
}

TEST(Faults, WindowsResizedWhilePlaying) {
    Rig r;
    r.showAllViews();
    ASSERT_TRUE(r.app.loadDataset(writeDataset(r.dir, "a.pelsid", 400, 'a')));
    const QSize sizes[] = {{1, 1}, {2000, 1500}, {0, 0}, {133, 200}, {3, 900}, {900, 3}};
    int step = 0;
    for (const QSize& size : sizes) {
        for (int i = 0; i < ViewSet::kViewCount; ++i) r.app.viewWindow(i)->resize(size);
        r.playUntil(50 * ++step);
    }
    r.waitForPlay();
    EXPECT_EQ(r.app.pipeline().lastPlayed(), 400);
    auto* rain = static_cast<TextRainfallWindow*>(r.app.viewWindow(0));
    EXPECT_GT(rain->renderer().picGraph().image().width(), 0);
    EXPECT_TRUE(r.holdsFile(400, 'a'));
}

TEST(Faults, ExitWhileCaptureRunsStopsItAndNothingArrivesAfterwards) {
    Rig r;
    r.showAllViews();
    test::ScriptedCaptureSource* source = nullptr;
    r.app.setCaptureSourceFactory([&source] {
        auto s = std::make_unique<test::ScriptedCaptureSource>();
        s->adapters = {{"eth0", "eth0 (10.0.0.7)", true}};
        source = s.get();
        return s;
    });
    CaptureWindow* capture = r.captureWindow();
    ASSERT_TRUE(capture && source);
    capture->findChild<QPushButton*>(QStringLiteral("btnStart"))->click();
    ASSERT_TRUE(source->isCapturing());

    // A capturing thread that keeps handing frames over, through the Exit and after it.
    std::atomic<bool> feeding{true};
    std::atomic<std::uint32_t> handed{0};
    std::thread worker([&] {
        for (std::uint32_t k = 1; feeding; ++k) {
            source->frame(numberedFrame(k));
            handed = k;
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
    });
    // Exit from the event loop, as the menu would, once frames are flowing.
    int storedAtExit = -1;
    QTimer exitLater;
    QObject::connect(&exitLater, &QTimer::timeout, &r.app, [&] {
        if (storedAtExit >= 0 || r.app.buffer().newestHeld() < 300) return;
        r.app.exit();
        storedAtExit = r.app.buffer().newestHeld();
    });
    exitLater.start(1);
    const bool exited = r.processUntil([&] { return storedAtExit >= 0; });
    // The event loop may still run after the Exit (the rest of its pass, a
    // dialog): frames handed over meanwhile must not reach the buffer.
    const std::uint32_t handedAtExit = handed;
    r.processUntil([&] { return handed >= handedAtExit + 200; });
    feeding = false;
    worker.join();
    QCoreApplication::sendPostedEvents();
    ASSERT_TRUE(exited);

    EXPECT_FALSE(source->isCapturing());
    EXPECT_EQ(source->stops, 1);
    const PacketBuffer& b = r.app.buffer();
    EXPECT_EQ(b.newestHeld(), storedAtExit);
    EXPECT_EQ(r.app.pipeline().lastPlayed(), storedAtExit);
    EXPECT_FALSE(r.app.pipeline().busy());
    for (int n = 1; n <= b.newestHeld(); ++n) ASSERT_EQ(numberOf(b, n), std::uint32_t(n)) << n;
    // Every frame handed over is either stored or counted as dropped.
    const CaptureStats s = source->stats();
    EXPECT_EQ(s.captured, handed.load());
    EXPECT_EQ(s.captured, std::uint64_t(storedAtExit) + s.queueDropped);
}

TEST(Faults, ExitAndShutdownWhileLiveCaptureRunsJoinTheCaptureThread) {
    SKIP_UNLESS_LOOPBACK_CAPTURE();
    const LoopbackUdp udp;
    std::atomic<bool> sending{true};
    std::thread sender([&] {
        const std::vector<std::uint8_t> payload(100, 7);
        while (sending) {
            udp.send(payload);
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
    });
    auto r = std::make_unique<Rig>();
    r->showAllViews();
    CaptureWindow* capture = r->captureWindow();
    ASSERT_TRUE(capture);
    auto* list = capture->findChild<QComboBox*>(QStringLiteral("cmbInterface"));
    for (int i = 1; i <= capture->session().source().adapterCount(); ++i)
        if (capture->session().source().adapter(i).name == "lo") list->setCurrentIndex(i - 1);
    capture->findChild<QLineEdit*>(QStringLiteral("txtFilter"))
        ->setText(QString::fromStdString(udp.filter()));
    capture->startCapture();
    ASSERT_TRUE(capture->session().source().isCapturing());
    const PacketBuffer& b = r->app.buffer();
    EXPECT_TRUE(r->processUntil([&] { return b.newestHeld() >= 50; }));

    bool exited = false;
    QTimer::singleShot(0, &r->app, [&] {
        r->app.exit();
        exited = true;
    });
    r->processUntil([&] { return exited; });
    EXPECT_FALSE(capture->session().source().isCapturing());  // the thread is joined
    const int stored = b.newestHeld();
    r->processUntil([] { return false; }, 200);  // datagrams keep coming; none is stored
    EXPECT_EQ(b.newestHeld(), stored);

    // The application ends while a capture runs: its thread is joined before
    // anything it feeds goes (a thread left running would abort the program).
    capture->startCapture();
    ASSERT_TRUE(capture->session().source().isCapturing());
    EXPECT_TRUE(r->processUntil([&] { return b.newestHeld() >= 20; }));
    r.reset();
    sending = false;
    sender.join();
}
