// File > Export Packets writes the packets held, or the PVR's buffer range,
// to a capture file; a failed write says why and leaves nothing behind.
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QSignalSpy>

#include "control/PlaybackController.h"
#include "store/CaptureFile.h"
#include "support/AppRig.h"

using namespace pelsid;
using namespace pelsid::test;

namespace {

struct ExportRig : AppRig {
    ExportRig() {
        EXPECT_TRUE(app.loadDataset(QString::fromLatin1(PELSID_TEST_DATA) + "/lo_ethernet.pcapng"));
        waitForPlay();
        dialogs.messages.clear();  // the load's word on the frame cut to a slot
    }
    std::string path(const char* name) const { return dir.filePath(name).toStdString(); }
    /// Chooses File > Export Packets and waits for the file; false when no
    /// export was started or it failed.
    bool exportVia() {
        QSignalSpy done(&app, &Application::exportFinished);
        entry("ExportPackets")->trigger();
        if (!app.exporting()) return false;
        EXPECT_TRUE(done.wait(10000));
        return done.size() == 1 && done.front().front().toBool();
    }
    /// Moves the PVR's minimum range handle `dx` pixels to the right and applies it.
    void dragMinHandle(int dx) {
        app.playback().dragMinHandle(pixelsToTwips(dx), 0);
        app.playback().applyHandles();
        waitForPlay();
    }
    void expectHeld(const CaptureFile& f, int first) {
        for (int i = 0; i < f.recordCount(); ++i) {
            const int n = first + i;
            const auto r = f.record(i);
            ASSERT_TRUE(std::ranges::equal(r, app.buffer().frame(n))) << n;
            EXPECT_EQ(f.records()[std::size_t(i)].time, app.buffer().captureTime(n)) << n;
            EXPECT_EQ(f.records()[std::size_t(i)].wireLength, app.buffer().wireLength(n)) << n;
        }
    }
};

}  // namespace

TEST(ExportPackets, WritesEveryHeldPacketWithItsTimeWithoutAsking) {
    ExportRig r;
    QAction* entry = r.entry("ExportPackets");
    ASSERT_TRUE(entry);
    EXPECT_EQ(entry->text(), "&Export Packets...");
    EXPECT_TRUE(entry->isVisible());
    // The hidden entry and its placeholder stay.
    EXPECT_FALSE(r.entry("SaveData")->isVisible());
    EXPECT_EQ(r.entry("SaveData")->text(), "Save Da&taset");

    r.dialogs.saveFiles = {r.path("all.pcap")};
    ASSERT_TRUE(r.exportVia());
    EXPECT_EQ(r.dialogs.questions.back().title, "Export Packets");
    EXPECT_EQ(r.dialogs.fileFolders.back(),
              std::string(PELSID_TEST_DATA));  // beside the file loaded
    const CaptureFile f = readCaptureFile(r.path("all.pcap"));
    ASSERT_EQ(f.format(), CaptureFile::Format::Pcap);
    ASSERT_EQ(f.recordCount(), 14);
    r.expectHeld(f, 1);
    EXPECT_EQ(epochText(f.records()[0].time), "1796695860.115523999");
    ASSERT_EQ(r.dialogs.messages.size(), 1u);  // says how many went where
    EXPECT_EQ(r.dialogs.messages[0].text, "Wrote 14 packets to " + r.path("all.pcap") + ".");
}

TEST(ExportPackets, AsksWhetherOnlyTheBufferRangeIsWanted) {
    ExportRig r;
    r.dragMinHandle(200);
    const PacketRange range = *r.app.playback().range();
    ASSERT_GT(range.first, 1);
    ASSERT_EQ(range.last, 14);

    // Cancel asks nothing more and writes nothing.
    r.dialogs.saveFiles = {r.path("never.pcap")};
    EXPECT_FALSE(r.exportVia());
    EXPECT_EQ(r.dialogs.questions.back().text,
              "Export all packets held, or only the PVR's buffer range?\n[All Packets (1 - 14)]\n"
              "[Buffer Range (" +
                  std::to_string(range.first) + " - 14)]");
    EXPECT_FALSE(QFile::exists(QString::fromStdString(r.path("never.pcap"))));

    r.dialogs.choices = {1};
    ASSERT_TRUE(r.exportVia());
    const CaptureFile part = readCaptureFile(r.path("never.pcap"));
    EXPECT_EQ(part.recordCount(), 14 - range.first + 1);
    r.expectHeld(part, range.first);

    r.dialogs.choices = {0};
    r.dialogs.saveFiles = {r.path("all.pcapng")};
    ASSERT_TRUE(r.exportVia());
    const CaptureFile all = readCaptureFile(r.path("all.pcapng"));
    EXPECT_EQ(all.format(), CaptureFile::Format::Pcapng);
    EXPECT_EQ(all.recordCount(), 14);
    r.expectHeld(all, 1);
}

TEST(ExportPackets, AFailedWriteNamesTheFileAndTheReason) {
    ExportRig r;
    const std::string missing = r.path("gone/x.pcap");
    r.dialogs.saveFiles = {missing};
    EXPECT_FALSE(r.exportVia());
    ASSERT_EQ(r.dialogs.messages.size(), 1u);
    EXPECT_EQ(r.dialogs.messages[0].icon, Dialogs::Icon::Critical);
    EXPECT_EQ(r.dialogs.messages[0].title, "Export Packets");
    EXPECT_EQ(r.dialogs.messages[0].text,
              "Could not write " + missing + ": No such file or directory");
    EXPECT_FALSE(r.app.exporting());
    EXPECT_EQ(QDir(r.dir.path())
                  .entryList(QDir::Files | QDir::Hidden | QDir::Dirs | QDir::NoDotAndDotDot),
              QStringList());

    // With nothing held there is nothing to write.
    AppRig empty;
    empty.entry("ExportPackets")->trigger();
    ASSERT_EQ(empty.dialogs.messages.size(), 1u);
    EXPECT_EQ(empty.dialogs.messages[0].text, "There are no packets to export.");
    EXPECT_FALSE(empty.app.exporting());
}
