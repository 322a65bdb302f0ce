#include "control/CaptureWindow.h"

#include <gtest/gtest.h>

#include <sys/mount.h>

#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <functional>
#include <thread>

#include "pipeline/FilterModel.h"
#include "pipeline/Pipeline.h"
#include "store/CaptureFile.h"
#include "store/Messages.h"
#include "store/PacketBuffer.h"
#include "support/RecordingViews.h"
#include "support/ScriptedCaptureSource.h"
#include "support/ScriptedDialogs.h"

namespace pelsid {
using namespace test;
namespace {

using test::ScriptedCaptureSource;

// A frame whose first four bytes carry its number, so order can be checked.
std::vector<std::uint8_t> numberedFrame(std::uint32_t k, int size = 60) {
    std::vector<std::uint8_t> f(std::size_t(size), 0x5A);
    for (int i = 0; i < 4; ++i) f[std::size_t(i)] = std::uint8_t(k >> (24 - 8 * i));
    return f;
}
std::uint32_t numberOf(const PacketBuffer& b, int packet) {
    const std::uint8_t* d = b.packetData(packet);
    return std::uint32_t(d[0]) << 24 | std::uint32_t(d[1]) << 16 | std::uint32_t(d[2]) << 8 | d[3];
}

// Answers a question after running an action, as the user would while frames keep coming.
struct AskingDialogs : ScriptedDialogs {
    std::function<void()> whileAsking;
    bool question(const std::string& title, const std::string& text) override {
        if (whileAsking) whileAsking();
        return ScriptedDialogs::question(title, text);
    }
};

class CaptureWindowTest : public ::testing::Test {
  protected:
    CaptureWindowTest() : pipeline(buffer, filters, views) {}

    CaptureWindow& open(std::vector<CaptureAdapter> adapters) {
        auto s = std::make_unique<ScriptedCaptureSource>();
        s->adapters = std::move(adapters);
        source = s.get();
        session = std::make_unique<CaptureSession>(std::move(s), buffer, pipeline, dialogs);
        window = std::make_unique<CaptureWindow>(*session, dialogs);
        return *window;
    }
    QComboBox* list() { return window->findChild<QComboBox*>("cmbInterface"); }
    QPushButton* button(const char* name) { return window->findChild<QPushButton*>(name); }
    static void deliver() { QCoreApplication::sendPostedEvents(); }

    PacketBuffer buffer;
    FilterModel filters;
    test::RecordingViews views;
    Pipeline pipeline;
    AskingDialogs dialogs;
    ScriptedCaptureSource* source = nullptr;
    std::unique_ptr<CaptureSession> session;
    std::unique_ptr<CaptureWindow> window;
};

const std::vector<CaptureAdapter> kTwoAdapters = {{"eth0", "eth0 (10.0.0.7)", true},
                                                  {"usbmon1", "usbmon1", false}};

TEST_F(CaptureWindowTest, ListsAdaptersInOrderAndMarksTheUnusable) {
    open(kTwoAdapters);
    EXPECT_EQ(source->refreshes, 1);
    ASSERT_EQ(list()->count(), 2);
    EXPECT_EQ(list()->itemText(0), "eth0 (10.0.0.7)");
    EXPECT_EQ(list()->itemText(1), "unsupported adapter");
    EXPECT_EQ(list()->currentIndex(), 0);
    EXPECT_TRUE(button("btnStart")->isEnabled());
    EXPECT_FALSE(button("btnStop")->isEnabled());
    EXPECT_EQ(window->windowTitle(), "Capture");
}

TEST_F(CaptureWindowTest, NoAdaptersLeavesNothingToStart) {
    open({});
    EXPECT_EQ(list()->count(), 0);
    EXPECT_EQ(list()->placeholderText(), "No adapters found");
    EXPECT_FALSE(button("btnStart")->isEnabled());
    window->startCapture();
    EXPECT_TRUE(source->startedOn.empty());
    EXPECT_FALSE(button("btnStop")->isEnabled());
}

TEST_F(CaptureWindowTest, StartOnEmptyBufferAsksNothingAndPlaysEveryFrameInOrder) {
    open(kTwoAdapters);
    window->findChild<QLineEdit*>("txtFilter")->setText("  udp port 53 ");
    button("btnStart")->click();
    EXPECT_EQ(source->startedOn, std::vector<int>{1});
    EXPECT_EQ(source->filter(), "udp port 53");
    EXPECT_TRUE(dialogs.questions.empty());
    EXPECT_FALSE(button("btnStart")->isEnabled());
    EXPECT_TRUE(button("btnStop")->isEnabled());
    EXPECT_EQ(views.clears(), 1);

    for (std::uint32_t k = 1; k <= 5; ++k) source->frame(numberedFrame(k, 40 + int(k)));
    deliver();
    ASSERT_EQ(buffer.newestHeld(), 5);
    for (int n = 1; n <= 5; ++n) {
        EXPECT_EQ(numberOf(buffer, n), std::uint32_t(n));
        EXPECT_EQ(buffer.frameLength(n), 40 + n);
    }
    EXPECT_EQ(views.plotted(), (std::vector<int>{1, 2, 3, 4, 5}));
    EXPECT_EQ(views.views[3].thumbnails, (std::vector<int>{1, 2, 3, 4, 5}));

    button("btnStop")->click();
    EXPECT_EQ(source->stops, 1);
    EXPECT_TRUE(button("btnStart")->isEnabled());
    EXPECT_FALSE(button("btnStop")->isEnabled());
}

TEST_F(CaptureWindowTest, HeldPacketsAskBeforeGoingAndFramesDuringTheQuestionGoWithThem) {
    open(kTwoAdapters);
    for (std::uint32_t k = 1; k <= 3; ++k) buffer.insertPacket({numberedFrame(k).data(), 60});
    dialogs.whileAsking = [this] {
        source->frame(numberedFrame(100));
        deliver();
    };
    dialogs.answers = {true};
    window->startCapture();
    ASSERT_EQ(dialogs.questions.size(), 1u);
    EXPECT_EQ(dialogs.questions[0].title, msg::kVerifyBufferDeleteTitle);
    EXPECT_EQ(dialogs.questions[0].text, msg::kVerifyBufferDelete);
    EXPECT_EQ(buffer.newestHeld(), 0);  // the frame that came during the question went too
    EXPECT_EQ(views.plotted(), std::vector<int>{4});
    EXPECT_EQ(views.clears(), 1);  // once, whatever the answer

    // Stop, then Start on the other line: asked again; a No keeps the packets.
    source->frame(numberedFrame(7));
    deliver();
    window->stopCapture();
    list()->setCurrentIndex(1);
    dialogs.whileAsking = nullptr;
    dialogs.answers = {false};
    window->startCapture();
    EXPECT_EQ(source->startedOn, (std::vector<int>{1, 2}));
    EXPECT_EQ(dialogs.questions.size(), 2u);
    source->frame(numberedFrame(8));
    deliver();
    ASSERT_EQ(buffer.newestHeld(), 2);
    EXPECT_EQ(numberOf(buffer, 1), 7u);
    EXPECT_EQ(numberOf(buffer, 2), 8u);
}

TEST_F(CaptureWindowTest, AnAdapterThatCannotBeOpenedIsReportedAndTheWindowStaysIdle) {
    open(kTwoAdapters);
    buffer.insertPacket({numberedFrame(1).data(), 60});
    source->startResult = {
        CaptureProblem::Kind::Permission,
        "eth0: You don't have permission to perform this capture on that device"};
    window->startCapture();
    ASSERT_EQ(dialogs.messages.size(), 1u);
    const std::string& text = dialogs.messages[0].text;
    EXPECT_EQ(dialogs.messages[0].icon, Dialogs::Icon::Critical);
    EXPECT_NE(text.find("\"eth0\""), std::string::npos);
    EXPECT_NE(text.find("permission"), std::string::npos);
    EXPECT_NE(text.find("setcap cap_net_raw,cap_net_admin=eip"), std::string::npos);
    EXPECT_TRUE(dialogs.questions.empty());  // nothing started, so nothing is cleared
    EXPECT_EQ(buffer.newestHeld(), 1);
    EXPECT_TRUE(button("btnStart")->isEnabled());
    EXPECT_FALSE(button("btnStop")->isEnabled());

    source->startResult = {CaptureProblem::Kind::Filter, "syntax error"};
    window->findChild<QLineEdit*>("txtFilter")->setText("udp portx 9");
    window->startCapture();
    ASSERT_EQ(dialogs.messages.size(), 2u);
    EXPECT_EQ(dialogs.messages[1].text,
              "The capture filter \"udp portx 9\" is not valid: syntax error");
}

TEST_F(CaptureWindowTest, ClosingStopsTheCaptureFirstAndNothingArrivesAfterwards) {
    open(kTwoAdapters);
    window->show();
    window->startCapture();
    source->frame(numberedFrame(1));
    deliver();
    source->frame(numberedFrame(2));  // waiting when the window closes
    window->close();
    EXPECT_EQ(source->stops, 1);
    EXPECT_FALSE(source->isCapturing());
    deliver();
    EXPECT_EQ(buffer.newestHeld(), 1);
    EXPECT_EQ(source->stats().queueDropped, 1u);  // counted, not lost silently
}

TEST_F(CaptureWindowTest, TheQueueHoldsThirtyThousandFramesAndCountsTheRest) {
    open(kTwoAdapters);
    window->startCapture();
    // A capturing thread that outruns the user-interface thread.
    std::thread flood([this] {
        for (std::uint32_t k = 1; k <= 30005; ++k) source->frame(numberedFrame(k));
        source->frame(std::vector<std::uint8_t>(PacketBuffer::kSlotBytes, 1), 9000);
    });
    flood.join();
    source->kernelDrops(3);
    deliver();
    EXPECT_EQ(buffer.newestHeld(), 30000);
    for (int n : {1, 2, 15000, 30000}) EXPECT_EQ(numberOf(buffer, n), std::uint32_t(n));
    const CaptureStats s = source->stats();
    EXPECT_EQ(s.captured, 30006u);
    EXPECT_EQ(s.queueDropped, 6u);
    EXPECT_EQ(s.kernelDropped, 3u);
    EXPECT_EQ(s.cut, 1u);

    window->updateCounters();
    EXPECT_EQ(window->findChild<QLabel*>("lblCaptured")->text(),
              "Frames captured: 30006 (1 cut to 1601 bytes)");
    EXPECT_EQ(window->findChild<QLabel*>("lblDropped")->text(),
              "Dropped by the kernel: 3, by the queue: 6");

    // Room again once the window has caught up; a new start counts afresh.
    source->frame(std::vector<std::uint8_t>(3000, 2), 3000);
    deliver();
    EXPECT_EQ(buffer.frameLength(buffer.newestHeld()), PacketBuffer::kSlotBytes);
    window->stopCapture();
    window->startCapture();
    EXPECT_EQ(source->stats().captured, 0u);
    EXPECT_EQ(source->stats().queueDropped, 0u);
}

TEST_F(CaptureWindowTest, AFailureWhileCapturingIsReportedAndLeavesTheWindowIdle) {
    open(kTwoAdapters);
    window->startCapture();
    emit source->failed("Capture on adapter \"eth0\" stopped: The interface went down");
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text,
              "Capture on adapter \"eth0\" stopped: The interface went down");
    EXPECT_TRUE(button("btnStart")->isEnabled());
    EXPECT_FALSE(button("btnStop")->isEnabled());
}

TEST_F(CaptureWindowTest, RecordsEveryFrameOfTheNextCaptureWithItsTimeEvenThoseTheQueueDrops) {
    open(kTwoAdapters);
    QTemporaryDir dir;
    const std::string path = dir.filePath("rec.pcap").toStdString();
    dialogs.saveFiles = {path};
    button("btnRecord")->click();
    EXPECT_TRUE(button("btnRecord")->isChecked());
    EXPECT_EQ(window->findChild<QLabel*>("lblRecording")->text(), "Records to rec.pcap");
    window->startCapture();
    EXPECT_FALSE(button("btnRecord")->isEnabled());  // the file is fixed for this capture

    // More frames than the queue holds, from a thread that outruns the window.
    const int n = FrameQueue::kDefaultCapacity + 5;
    std::thread capturing([&] {
        for (int k = 1; k <= n; ++k)
            source->frame(numberedFrame(std::uint32_t(k), 60), 60,
                          {1765200000 + k, std::uint32_t(k) * 1000u, 9, true});
    });
    capturing.join();
    deliver();
    EXPECT_EQ(source->stats().queueDropped, 5u);
    EXPECT_TRUE(QFile::exists(QString::fromStdString(path)));  // written in place
    window->stopCapture();

    // More than a buffer's worth: the last few are read from the file's end.
    ReadOptions last;
    last.choice.from = std::uint64_t(n - 9);
    const CaptureFile f = readCaptureFile(path, last);
    ASSERT_EQ(f.format(), CaptureFile::Format::Pcap);
    EXPECT_EQ(f.recordSet().frames, std::uint64_t(n));
    ASSERT_EQ(f.recordCount(), 10);
    for (int i = 0; i < 10; ++i) {
        const auto r = f.record(i);
        const auto expected = numberedFrame(std::uint32_t(n - 9 + i), 60);
        EXPECT_TRUE(std::equal(r.begin(), r.end(), expected.begin(), expected.end())) << i;
    }
    EXPECT_EQ(window->findChild<QLabel*>("lblRecording")->text(),
              QStringLiteral("Recorded %1 frames to rec.pcap").arg(n));
    EXPECT_EQ(window->findChild<QLabel*>("lblRecording")->toolTip(), QString::fromStdString(path));
    EXPECT_FALSE(button("btnRecord")->isChecked());  // the next capture records nothing
    EXPECT_TRUE(button("btnRecord")->isEnabled());
    EXPECT_TRUE(source->recordingPath().empty());
    // The stored frames keep their capture times.
    EXPECT_EQ(buffer.captureTime(1), (CaptureTime{1765200001, 1000, 9, true}));
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(CaptureWindowTest, AFailedRecordingIsReportedWithItsReasonAndKeepsWhatWasWritten) {
    open(kTwoAdapters);
    QTemporaryDir dir;
    const std::string folder = dir.filePath("tiny").toStdString();
    ASSERT_TRUE(QDir().mkpath(QString::fromStdString(folder)));
    if (mount("tmpfs", folder.c_str(), "tmpfs", 0, "size=64k") != 0)
        GTEST_SKIP() << "mounting a small tmpfs needs root";
    const std::string path = folder + "/rec.pcapng";
    dialogs.saveFiles = {path};
    button("btnRecord")->click();
    window->startCapture();
    // The disk fills while the capture runs.
    for (int k = 1; k <= 100; ++k) source->frame(numberedFrame(std::uint32_t(k), 1601));
    deliver();
    window->stopCapture();
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_NE(dialogs.messages[0].text.find("rec.pcapng"), std::string::npos)
        << dialogs.messages[0].text;
    EXPECT_NE(dialogs.messages[0].text.find("No space left on device"), std::string::npos)
        << dialogs.messages[0].text;
    EXPECT_EQ(window->findChild<QLabel*>("lblRecording")->text(), "Recording failed");
    const CaptureFile kept = readCaptureFile(path);
    EXPECT_GT(kept.recordCount(), 10);
    EXPECT_LT(kept.recordCount(), 100);
    umount(folder.c_str());

    // A file that cannot be made is refused at once; cancelling records nothing.
    dialogs.saveFiles = {dir.filePath("no/such/folder/x.pcap").toStdString()};
    button("btnRecord")->click();
    EXPECT_FALSE(button("btnRecord")->isChecked());
    EXPECT_EQ(dialogs.messages.size(), 2u);
    button("btnRecord")->click();  // the dialog is cancelled
    EXPECT_FALSE(button("btnRecord")->isChecked());
    EXPECT_TRUE(source->recordingPath().empty());
}

}  // namespace
}  // namespace pelsid
