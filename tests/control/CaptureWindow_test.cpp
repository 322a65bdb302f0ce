#include "control/CaptureWindow.h"

#include <gtest/gtest.h>

#include <sys/mount.h>

#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>

#include "store/CaptureFile.h"
#include "support/CaptureSessionRig.h"

namespace pelsid {
using namespace test;
namespace {

class CaptureWindowTest : public ::testing::Test, protected CaptureSessionRig {
  protected:
    CaptureWindow& show(std::vector<CaptureAdapter> adapters) {
        open(std::move(adapters));
        window = std::make_unique<CaptureWindow>(*session, dialogs);
        return *window;
    }
    QComboBox* list() { return window->findChild<QComboBox*>("cmbInterface"); }
    QPushButton* button(const char* name) { return window->findChild<QPushButton*>(name); }
    QString text(const char* label) { return window->findChild<QLabel*>(label)->text(); }
    void expectIdle() {
        EXPECT_FALSE(session->capturing());
        EXPECT_TRUE(button("btnStart")->isEnabled());
        EXPECT_FALSE(button("btnStop")->isEnabled());
        EXPECT_TRUE(button("btnRecord")->isEnabled());
    }

    std::unique_ptr<CaptureWindow> window;
};

TEST_F(CaptureWindowTest, StartsOnTheChosenLineWithTheTrimmedFilterAndShowsWhetherItRuns) {
    show(kTwoAdapters);
    EXPECT_EQ(window->windowTitle(), "Capture");
    EXPECT_EQ(source->refreshes, 1);
    ASSERT_EQ(list()->count(), 2);
    EXPECT_EQ(list()->itemText(0), "eth0 (10.0.0.7)");
    EXPECT_EQ(list()->itemText(1), "unsupported adapter");
    EXPECT_EQ(list()->currentIndex(), 0);
    expectIdle();
    window->probeAdapters();  // listed afresh, not added to
    EXPECT_EQ(list()->count(), 2);

    list()->setCurrentIndex(1);
    window->findChild<QLineEdit*>("txtFilter")->setText("  udp port 53 ");
    button("btnStart")->click();
    EXPECT_EQ(source->startedOn, std::vector<int>{2});
    EXPECT_EQ(source->filter(), "udp port 53");
    EXPECT_FALSE(button("btnStart")->isEnabled());
    EXPECT_TRUE(button("btnStop")->isEnabled());
    EXPECT_FALSE(button("btnRecord")->isEnabled());  // the file is fixed for this capture
    button("btnStop")->click();
    EXPECT_EQ(source->stops, 1);
    expectIdle();

    // Idle still when a start is refused, and again when a running capture fails.
    source->startResult = {CaptureProblem::Kind::Filter, "syntax error"};
    button("btnStart")->click();
    expectIdle();
    source->startResult = {};
    button("btnStart")->click();
    source->capturing = false;  // a source that fails has stopped by itself
    emit source->failed("gone");
    expectIdle();
}

// Every control lies inside the window, and those the user works lie clear of
// each other (a label may touch its field).
TEST_F(CaptureWindowTest, ControlsLieInsideTheWindowClearOfEachOther) {
    show(kTwoAdapters);
    const auto children = window->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    for (QWidget* a : children) {
        const std::string name = a->objectName().toStdString();
        EXPECT_TRUE(window->rect().contains(a->geometry())) << name;
        for (QWidget* b : children)
            EXPECT_TRUE(a == b || qobject_cast<QLabel*>(a) || qobject_cast<QLabel*>(b) ||
                        !a->geometry().intersects(b->geometry()))
                << name << " and " << b->objectName().toStdString();
    }
}

TEST_F(CaptureWindowTest, NoAdaptersLeavesNothingToStart) {
    show({});
    EXPECT_EQ(list()->placeholderText(), "No adapters found");
    EXPECT_FALSE(button("btnStart")->isEnabled());
    window->startCapture();
    session->stop();  // told that nothing runs, as on Exit
    EXPECT_TRUE(source->startedOn.empty());
    EXPECT_FALSE(button("btnStart")->isEnabled());
    EXPECT_FALSE(button("btnStop")->isEnabled());
}

TEST_F(CaptureWindowTest, ShowsTheCountersAndRecordsTheNextCaptureToTheChosenFile) {
    show(kTwoAdapters);
    QTemporaryDir dir;
    const std::string path = dir.filePath("rec.pcap").toStdString();
    dialogs.saveFiles = {dir.filePath("no/such/folder/x.pcap").toStdString(), path};
    button("btnRecord")->click();  // a file that cannot be made is refused at once
    EXPECT_FALSE(button("btnRecord")->isChecked());
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_NE(dialogs.messages[0].text.find("x.pcap"), std::string::npos);
    button("btnRecord")->click();
    EXPECT_TRUE(button("btnRecord")->isChecked());
    EXPECT_EQ(text("lblRecording"), "Records to rec.pcap");
    EXPECT_EQ(source->recordingPath(), path);

    window->startCapture();
    source->frame(std::vector<std::uint8_t>(1602, 1));
    for (std::uint32_t k = 2; k <= 3; ++k) source->frame(numberedFrame(k));
    source->kernelDrops(4);
    window->updateCounters();
    EXPECT_EQ(text("lblRecording"), "Recording: 3 frames");
    window->stopCapture();  // the frames still waiting are dropped by the queue
    EXPECT_EQ(text("lblCaptured"), "Frames captured: 3 (1 cut to 1601 bytes)");
    EXPECT_EQ(text("lblDropped"), "Dropped by the kernel: 4, by the queue: 3");
    EXPECT_EQ(text("lblRecording"), "Recorded 3 frames to rec.pcap");
    EXPECT_EQ(window->findChild<QLabel*>("lblRecording")->toolTip(), QString::fromStdString(path));
    EXPECT_FALSE(button("btnRecord")->isChecked());  // the next capture records nothing
    EXPECT_EQ(dialogs.messages.size(), 1u);

    button("btnRecord")->click();  // the dialog is cancelled
    EXPECT_FALSE(button("btnRecord")->isChecked());
    EXPECT_TRUE(source->recordingPath().empty());
}

TEST_F(CaptureWindowTest, AFailedRecordingIsReportedWithItsReasonAndKeepsWhatWasWritten) {
    show(kTwoAdapters);
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
    const std::string& said = dialogs.messages[0].text;
    EXPECT_NE(said.find("rec.pcapng"), std::string::npos) << said;
    EXPECT_NE(said.find("No space left on device"), std::string::npos) << said;
    EXPECT_EQ(text("lblRecording"), "Recording failed");
    const CaptureFile kept = readCaptureFile(path);
    EXPECT_GT(kept.recordCount(), 10);
    EXPECT_LT(kept.recordCount(), 100);
    umount(folder.c_str());
}

// The capture ends with its window, closed or destroyed, and nothing arrives afterwards.
TEST_F(CaptureWindowTest, ClosingOrDestroyingTheWindowEndsTheCapture) {
    show(kTwoAdapters);
    window->show();
    window->startCapture();
    source->frame(numberedFrame(1));
    deliver();
    source->frame(numberedFrame(2));  // waiting when the window closes
    window->close();
    EXPECT_FALSE(session->capturing());
    deliver();
    EXPECT_EQ(buffer.newestHeld(), 1);

    window->startCapture();
    window.reset();
    EXPECT_FALSE(session->capturing());
    EXPECT_EQ(source->stops, 2);
}

}  // namespace
}  // namespace pelsid
