// --export writes the packets a load would hold, and tcpdump reads back the
// same bytes and times.
#include <gtest/gtest.h>

#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QTemporaryDir>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "commands/ExportCommand.h"
#include "store/CaptureFile.h"
#include "support/CommandOutput.h"
#include "support/PcapBytes.h"

using namespace pelsid;

namespace {

std::string fixture(const std::string& name) {
    return name.starts_with('/') ? name : std::string(PELSID_TEST_DATA) + "/" + name;
}

// tcpdump's view of a file's frames that fit a slot whole: epoch times in
// nanoseconds, the decoded line and every byte.
std::string tcpdumpOf(const std::string& path) {
    return test::runCommand("tcpdump -r '" + path +
                            "' -tt --time-stamp-precision=nano -n -xx 'len <= 1601' 2>/dev/null")
        .out;
}

void expectSamePackets(const CaptureFile& a, const CaptureFile& b) {
    ASSERT_EQ(a.recordCount(), b.recordCount());
    for (int i = 0; i < a.recordCount(); ++i) {
        SCOPED_TRACE(i);
        const auto ra = a.record(i), rb = b.record(i);
        EXPECT_TRUE(std::equal(ra.begin(), ra.end(), rb.begin(), rb.end()));
        CaptureTime ta = a.records()[std::size_t(i)].time;
        ta.decimals = ta.decimals > 6 ? 9 : ta.decimals;  // written in µs or ns
        EXPECT_EQ(ta, b.records()[std::size_t(i)].time);
        EXPECT_EQ(a.records()[std::size_t(i)].wireLength, b.records()[std::size_t(i)].wireLength);
    }
}

std::uint32_t magicOf(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::uint32_t magic = 0;
    in.read(reinterpret_cast<char*>(&magic), 4);
    return magic;
}

}  // namespace

TEST(ExportCommand, RoundTripsBytesTimesAndWireLengthsInEachFormat) {
    QTemporaryDir dir;
    struct Case {
        const char* source;
        const char* out;
        std::uint32_t magic;
    };
    // Tenths of a microsecond need nanoseconds too.
    const std::string tenths = dir.filePath("tenths.pcapng").toStdString();
    test::Bytes b;
    test::sectionHeader(b);
    test::interfaceBlock(b, 1, false, [] {
        test::Bytes tsresol;
        test::option(tsresol, 9, {7});
        return tsresol;
    }());
    for (std::uint64_t stamp : {17652000001234567u, 17652000001234568u})
        test::packetBlock(b, 0, test::ethernetFrame(60), false, stamp);
    test::writeFile(tenths, b);
    // Nanoseconds stay nanoseconds; microseconds stay microseconds.
    for (const Case& c : {Case{tenths.c_str(), "tenths.pcap", 0xA1B23C4D},
                          Case{"lo_ethernet.pcapng", "ns.pcap", 0xA1B23C4D},
                          Case{"lo_ethernet.pcap", "us.pcap", 0xA1B2C3D4},
                          Case{"any_cooked_sll2.pcap", "cooked.pcapng", 0x0A0D0D0A},
                          Case{"lo_ethernet.pcapng", "ns.pcapng", 0x0A0D0D0A},
                          Case{"veth_mixed.pcap", "veth.pcap", 0xA1B2C3D4}}) {
        SCOPED_TRACE(c.out);
        const std::string out = dir.filePath(c.out).toStdString();
        std::ostringstream err;
        ASSERT_EQ(runExportCommand(out, fixture(c.source), {}, err), 0) << err.str();
        const CaptureFile source = readCaptureFile(fixture(c.source));
        EXPECT_NE(
            err.str().find(std::to_string(source.recordCount()) + " packets written to " + out),
            std::string::npos)
            << err.str();
        EXPECT_EQ(magicOf(out), c.magic);
        const CaptureFile back = readCaptureFile(out);
        expectSamePackets(source, back);
        // tcpdump agrees, to the byte and the nanosecond, for files it shows as
        // Ethernet (the longer frames are stored cut to a slot, so they differ).
        if (test::haveTcpdump() && std::string(c.source).starts_with("lo_ethernet")) {
            const std::string shown = tcpdumpOf(out);
            EXPECT_NE(
                shown.find(
                    " IP 127.0.0.1 > 127.0.0.1: ICMP echo reply, id 4660, seq 1, length 22\n"),
                std::string::npos);
            EXPECT_TRUE(shown == tcpdumpOf(fixture(c.source))) << shown;
        }
    }
}

TEST(ExportCommand, KeepsTheChoiceALoadMakes) {
    QTemporaryDir dir;
    const std::string out = dir.filePath("icmp.pcap").toStdString();
    std::ostringstream err;
    const LoadChoice choice{.from = 2, .filter = "icmp"};
    ASSERT_EQ(runExportCommand(out, fixture("lo_ethernet.pcap"), choice, err), 0) << err.str();
    ReadOptions options;
    options.choice = choice;
    expectSamePackets(readCaptureFile(fixture("lo_ethernet.pcap"), options), readCaptureFile(out));
    EXPECT_EQ(readCaptureFile(out).recordCount(), 3);  // the reply to the UDP, the echo pair

    // Datasets have no times: written as 0, and the packets are the same.
    const std::string dataset = std::string(PELSID_SOURCE_DIR) + "/data/sample.pelsid";
    const std::string fromDataset = dir.filePath("sample.pcap").toStdString();
    ASSERT_EQ(runExportCommand(fromDataset, dataset, {}, err), 0);
    const CaptureFile back = readCaptureFile(fromDataset);
    const CaptureFile original = readCaptureFile(dataset);
    ASSERT_EQ(back.recordCount(), original.recordCount());
    for (int i = 0; i < back.recordCount(); ++i)
        ASSERT_TRUE(std::ranges::equal(back.record(i), original.record(i)));
    EXPECT_EQ(epochText(back.records()[0].time), "0.000000");
}

TEST(ExportCommand, AFailedWriteNamesTheFileAndLeavesNothing) {
    QTemporaryDir dir;
    std::ostringstream err;
    const std::string missing = dir.filePath("no/such/out.pcap").toStdString();
    EXPECT_EQ(runExportCommand(missing, fixture("lo_ethernet.pcap"), {}, err), 1);
    EXPECT_NE(err.str().find("error: Could not write " + missing + ": No such file or directory"),
              std::string::npos)
        << err.str();

    // A device is never replaced by the file.
    std::ostringstream err2;
    EXPECT_EQ(runExportCommand("/dev/full", fixture("lo_ethernet.pcap"), {}, err2), 1);
    EXPECT_NE(err2.str().find("/dev/full: it is not a regular file"), std::string::npos)
        << err2.str();
    struct stat st;
    ASSERT_EQ(stat("/dev/full", &st), 0);
    EXPECT_TRUE(S_ISCHR(st.st_mode));

    // A read-only folder: a read-only mount for root, whom permission bits do not stop.
    const QString folder = dir.filePath("readonly");
    QDir().mkpath(folder);
    const std::string f = folder.toStdString();
    const bool mounted = getuid() == 0 && mount("tmpfs", f.c_str(), "tmpfs", MS_RDONLY, "") == 0;
    if (!mounted) chmod(f.c_str(), 0555);
    if (getuid() != 0 || mounted) {
        std::ostringstream err3;
        EXPECT_EQ(runExportCommand(f + "/out.pcap", fixture("lo_ethernet.pcap"), {}, err3), 1);
        EXPECT_NE(err3.str().find("Could not write " + f + "/out.pcap: "), std::string::npos)
            << err3.str();
        EXPECT_TRUE(QDir(folder).entryList(QDir::Files | QDir::Hidden).isEmpty());
    }
    if (mounted) umount(f.c_str());

    // An unreadable source writes nothing.
    std::ostringstream err4;
    const std::string out = dir.filePath("never.pcap").toStdString();
    EXPECT_EQ(runExportCommand(out, "/nonexistent.pcap", {}, err4), 1);
    EXPECT_FALSE(QFile::exists(QString::fromStdString(out)));
}

TEST(ExportCommand, ExecutableTakesTheChoiceAfterTheFile) {
    QTemporaryDir dir;
    const std::string out = dir.filePath("x.pcapng").toStdString();
    const std::string file = fixture("lo_ethernet.pcap");
    auto pelsid = [&](const std::string& args) {
        return test::runCommand("env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM= " +
                                std::string(PELSID_EXECUTABLE) + " " + args + " 2>/dev/null")
            .status;
    };
    EXPECT_EQ(pelsid("--export '" + out + "' " + file + " --filter udp --from 1"), 0);
    EXPECT_EQ(readCaptureFile(out).recordCount(), 1);
    EXPECT_EQ(pelsid("--from 2 --export '" + out + "' " + file), 0);
    EXPECT_EQ(readCaptureFile(out).recordCount(), 13);
    // A missing FILE or a stray argument is a usage error.
    EXPECT_EQ(pelsid("--export '" + out + "'"), 2);
    EXPECT_EQ(pelsid("--export '" + out + "' " + file + " extra"), 2);
    EXPECT_EQ(pelsid("--export '" + out + "' " + file + " --from"), 2);
}
