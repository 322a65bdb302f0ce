#include <gtest/gtest.h>

#include <sys/mount.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cstdio>
#include <string>
#include <vector>

#include "store/CaptureFile.h"
#include "store/CaptureWriter.h"
#include "store/FrameIntake.h"
#include "store/PcapngReader.h"
#include "support/CommandOutput.h"

using namespace pelsid;

namespace {

std::vector<std::vector<std::uint8_t>> frames() {
    std::vector<std::vector<std::uint8_t>> out;
    for (int n : {60, 61, 1601, 14, 333}) {
        std::vector<std::uint8_t> f(static_cast<std::size_t>(n));
        for (int i = 0; i < n; ++i) f[std::size_t(i)] = std::uint8_t(i * 7 + n);
        f[12] = 0x08, f[13] = 0x00;
        out.push_back(f);
    }
    return out;
}

CaptureTime timeOf(int i) {
    return {.seconds = 1765200000 + i, .nanoseconds = std::uint32_t(123456789 + i), .known = true};
}

std::string write(const QTemporaryDir& dir, const char* name, CaptureWriter::Format format,
                  bool nano) {
    const std::string path = dir.filePath(name).toStdString();
    CaptureWriter w(path, format, nano);
    EXPECT_TRUE(w.open()) << w.error();
    const auto fs = frames();
    for (std::size_t i = 0; i < fs.size(); ++i)
        EXPECT_TRUE(
            w.write(fs[i], std::uint32_t(fs[i].size() + (i == 2 ? 100 : 0)), timeOf(int(i))));
    EXPECT_TRUE(w.finish()) << w.error();
    EXPECT_EQ(w.framesWritten(), fs.size());
    return path;
}

// What tcpdump prints of a file: epoch times with nanoseconds and the frame bytes.
std::string tcpdumpOf(const std::string& path) {
    return test::runCommand("tcpdump -r '" + path +
                            "' -tt --time-stamp-precision=nano -n -xx 2>/dev/null")
        .out;
}

}  // namespace

TEST(CaptureWriter, RoundTripsThroughOurReaderAndTcpdump) {
    QTemporaryDir dir;
    const auto fs = frames();
    for (auto [name, format, nano] :
         {std::tuple{"a.pcap", CaptureWriter::Format::Pcap, true},
          std::tuple{"b.pcap", CaptureWriter::Format::Pcap, false},
          std::tuple{"c.pcapng", CaptureWriter::Format::Pcapng, true}}) {
        SCOPED_TRACE(name);
        const std::string path = write(dir, name, format, nano);
        const CaptureFile file = readCaptureFile(path);
        ASSERT_TRUE(file.isLoadable());
        ASSERT_EQ(file.recordCount(), int(fs.size()));
        for (int i = 0; i < file.recordCount(); ++i) {
            const auto r = file.record(i);
            EXPECT_EQ(std::vector<std::uint8_t>(r.begin(), r.end()), fs[std::size_t(i)]);
        }
        if (test::haveTcpdump()) {
            const std::string shown = tcpdumpOf(path);
            // The second frame's time, to the resolution the file keeps.
            EXPECT_NE(shown.find(nano ? "1765200001.123456790" : "1765200001.123456000"),
                      std::string::npos)
                << shown;
            EXPECT_NE(shown.find("0x0000:  3d44 4b52"), std::string::npos);  // frame 2's bytes
        }
    }
    EXPECT_EQ(CaptureWriter::formatOf("x.PCAPNG"), CaptureWriter::Format::Pcapng);
    EXPECT_EQ(CaptureWriter::formatOf("x.cap"), CaptureWriter::Format::Pcap);
}

TEST(CaptureWriter, AFailedWriteNamesTheReasonAndLeavesNothing) {
    QTemporaryDir dir;
    const std::string missing = dir.filePath("no/such/x.pcap").toStdString();
    CaptureWriter w(missing, CaptureWriter::Format::Pcap);
    EXPECT_FALSE(w.open());
    EXPECT_NE(w.error().find(missing), std::string::npos);
    EXPECT_NE(w.error().find("No such file or directory"), std::string::npos) << w.error();

    // An existing file survives an abandoned write untouched.
    const QString kept = dir.filePath("kept.pcap");
    QFile f(kept);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("old");
    f.close();
    {
        CaptureWriter a(kept.toStdString(), CaptureWriter::Format::Pcap);
        ASSERT_TRUE(a.open());
        a.write(frames()[0], 60, {});
    }  // destroyed without finish
    QFile again(kept);
    ASSERT_TRUE(again.open(QIODevice::ReadOnly));
    EXPECT_EQ(again.readAll(), "old");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);
}

TEST(CaptureWriter, AFullDiskNamesItAndLeavesNoPartialFile) {
    QTemporaryDir dir;
    const std::string folder = dir.filePath("tiny").toStdString();
    QDir().mkpath(QString::fromStdString(folder));
    if (mount("tmpfs", folder.c_str(), "tmpfs", 0, "size=64k") != 0)
        GTEST_SKIP() << "mounting a small tmpfs needs root";
    const std::string path = folder + "/big.pcapng";
    bool ok = true;
    std::string error;
    {
        CaptureWriter w(path, CaptureWriter::Format::Pcapng);
        ok = w.open();
        const auto big = frames()[2];
        for (int i = 0; ok && i < 200; ++i) ok = w.write(big, 1601, timeOf(i));
        ok = ok && w.finish();
        error = w.error();
    }
    EXPECT_FALSE(ok);
    EXPECT_NE(error.find("No space left on device"), std::string::npos) << error;
    EXPECT_TRUE(
        QDir(QString::fromStdString(folder)).entryList(QDir::Files | QDir::Hidden).isEmpty());
    umount(folder.c_str());
}

TEST(CaptureWriter, WritesThroughALinkAndNeverOverADevice) {
    QTemporaryDir dir;
    const std::string target = dir.filePath("real.pcap").toStdString();
    const std::string link = dir.filePath("link.pcap").toStdString();
    ASSERT_EQ(symlink(target.c_str(), link.c_str()), 0);
    CaptureWriter w(link, CaptureWriter::Format::Pcap, false);
    ASSERT_TRUE(w.open()) << w.error();
    ASSERT_TRUE(w.write(frames()[0], 60, timeOf(0)));
    ASSERT_TRUE(w.finish()) << w.error();
    EXPECT_TRUE(QFileInfo(QString::fromStdString(link)).isSymLink());
    EXPECT_EQ(readCaptureFile(target).recordCount(), 1);
    EXPECT_EQ(epochText(readCaptureFile(link).records()[0].time), "1765200000.123456");

    CaptureWriter device("/dev/null", CaptureWriter::Format::Pcap);
    EXPECT_FALSE(device.open());
    EXPECT_EQ(device.error(), "Could not write /dev/null: it is not a regular file");
    EXPECT_TRUE(QFileInfo(QStringLiteral("/dev/null")).exists());
}

// A recording: the target itself, readable by us and tcpdump up to its last
// flush while the writer is still open, and up to its last whole block when
// cut short in the middle of one. Statistics blocks are passed over.
TEST(CaptureWriter, InPlaceIsReadableUpToTheLastFlushAndTheLastWholeBlock) {
    QTemporaryDir dir;
    const auto fs = frames();
    for (const char* name : {"live.pcap", "live.pcapng"}) {
        SCOPED_TRACE(name);
        const std::string path = dir.filePath(name).toStdString();
        {
            QFile old(QString::fromStdString(path));
            ASSERT_TRUE(old.open(QIODevice::WriteOnly));
            old.write(QByteArray(100000, 'x'));  // replaced, not appended to
        }
        CaptureWriter w(path, CaptureWriter::formatOf(path), true,
                        CaptureWriter::Placement::InPlace);
        ASSERT_TRUE(w.open()) << w.error();
        for (std::size_t i = 0; i < fs.size(); ++i) {
            ASSERT_TRUE(w.write(fs[i], std::uint32_t(fs[i].size()), timeOf(int(i))));
            if (CaptureWriter::formatOf(path) == CaptureWriter::Format::Pcapng) {
                ASSERT_TRUE(w.writeStatistics(timeOf(int(i)), i + 1, 0, i));
            }
        }
        ASSERT_TRUE(w.flush()) << w.error();
        if (CaptureWriter::formatOf(path) == CaptureWriter::Format::Pcapng) {
            // The statistics as a reader that asks for them sees them, in any piece size.
            for (std::size_t piece :
                 {std::size_t(1), std::size_t(7), ByteInput::kDefaultPieceSize}) {
                std::vector<InterfaceStatistics> seen;
                ReadOptions options;
                RecordSet set;
                FrameIntake intake(
                    options, set, [](auto&&...) {}, nullptr);
                ByteInput input(path, piece);
                readPcapngFile(input, name, intake, set,
                               [&](const InterfaceStatistics& s) { seen.push_back(s); });
                ASSERT_EQ(seen.size(), fs.size()) << piece;
                EXPECT_EQ(seen.back().interface, 0u);  // the one the file describes
                EXPECT_EQ(seen.back().received, fs.size());
                EXPECT_EQ(seen.back().interfaceDropped, 0u);
                EXPECT_EQ(seen.back().systemDropped, fs.size() - 1);
            }
        }
        ASSERT_TRUE(w.write(fs[0], 60, timeOf(9)));  // not flushed yet
        EXPECT_EQ(readCaptureFile(path).recordCount(), int(fs.size()));
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).filter(name).size(), 1);

        // Cut in the middle of the last frame, as a power cut may leave it
        // (behind it in pcapng: its 64-byte statistics block).
        const bool ng = CaptureWriter::formatOf(path) == CaptureWriter::Format::Pcapng;
        QFile cut(QString::fromStdString(path));
        ASSERT_TRUE(cut.resize(cut.size() - (ng ? 84 : 20)));
        const CaptureFile file = readCaptureFile(path);
        ASSERT_EQ(file.recordCount(), int(fs.size()) - 1);
        const auto r = file.record(3);
        EXPECT_EQ(std::vector<std::uint8_t>(r.begin(), r.end()), fs[3]);
        if (test::haveTcpdump()) {
            const std::string shown = tcpdumpOf(path);
            EXPECT_NE(shown.find("1765200003.123456792"), std::string::npos) << shown;
            EXPECT_EQ(shown.find("1765200004."), std::string::npos) << shown;
        }
        w.abandon();
    }
}
