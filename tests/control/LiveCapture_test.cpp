// Live capture on the loopback adapter; needs root (or the capture capability).
#include <gtest/gtest.h>

#include <QDateTime>
#include <QProcess>
#include <QTemporaryDir>

#include "control/PcapCaptureSource.h"
#include "support/CaptureSessionRig.h"
#include "support/LoopbackUdp.h"
#include "support/WaitFor.h"

namespace pelsid {
using namespace test;
namespace {

constexpr int kEthernet = 14, kIp = 20, kUdp = 8;

// Payloads of different lengths, one longer than a packet slot.
std::vector<std::vector<std::uint8_t>> knownPayloads() {
    std::vector<std::vector<std::uint8_t>> p;
    for (int size : {0, 1, 18, 100, 555, 1000, 1559, 1560, 3000, 64, 7, 1200}) {
        std::vector<std::uint8_t> d(static_cast<std::size_t>(size));
        for (int i = 0; i < size; ++i) d[std::size_t(i)] = std::uint8_t(size * 31 + i * 7);
        p.push_back(std::move(d));
    }
    return p;
}

int frameLength(const std::vector<std::uint8_t>& payload) {
    return kEthernet + kIp + kUdp + int(payload.size());
}

// What tcpdump makes of a capture file: one line per frame with its epoch
// time, Ethernet header and length.
QStringList tcpdumpLines(const QString& path) {
    QProcess tcpdump;
    tcpdump.start("tcpdump", {"-r", path, "-tt", "-n", "-e", "--time-stamp-precision=nano"});
    if (!tcpdump.waitForFinished(10000)) return {};
    return QString::fromUtf8(tcpdump.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
}

class LiveCaptureTest : public ::testing::Test, protected CaptureSessionRig {
  protected:
    // A session on the real source, started on the loopback adapter (recording
    // to `recording` when given); false, with the reason reported, when it could not start.
    bool startOnLoopback(const std::string& filter, const std::string& recording = {}) {
        open(std::make_unique<PcapCaptureSource>());
        EXPECT_GT(adapterNamed("lo"), 0) << "lo is not listed";
        EXPECT_EQ(session->source().recordTo(recording), "");
        return session->start(adapterNamed("lo"), filter);
    }
};

// The recording holds the times and wire lengths the buffer holds.
TEST_F(LiveCaptureTest, CapturesAndRecordsExactlyTheDatagramsSentInOrderByteForByte) {
    SKIP_UNLESS_LOOPBACK_CAPTURE();
    const LoopbackUdp udp;
    QTemporaryDir dir;
    const QString path = dir.filePath("session.pcapng");
    const auto before = QDateTime::currentSecsSinceEpoch();
    ASSERT_TRUE(startOnLoopback(udp.filter(), path.toStdString())) << dialogs.messages[0].text;

    const auto payloads = knownPayloads();
    for (const auto& p : payloads) udp.send(p);
    const int n = int(payloads.size());
    EXPECT_TRUE(waitFor([&] { return buffer.newestHeld() >= n; }, 4000));
    waitFor([] { return false; }, 200);  // nothing beyond them may follow
    session->stop();
    ASSERT_TRUE(session->source().lastRecording().ok()) << session->source().lastRecording().error;

    ASSERT_EQ(buffer.newestHeld(), n);
    EXPECT_EQ(views.plotted().size(), std::size_t(n));
    const QStringList lines = tcpdumpLines(path);
    ASSERT_EQ(lines.size(), n) << lines.join('\n').toStdString();
    for (int k = 0; k < n; ++k) {
        const auto& p = payloads[std::size_t(k)];
        const int packet = k + 1;
        const int stored = std::min(frameLength(p), PacketBuffer::kSlotBytes);
        SCOPED_TRACE("datagram of " + std::to_string(p.size()) + " bytes");
        ASSERT_EQ(buffer.frameLength(packet), stored);
        const std::uint8_t* f = buffer.packetData(packet);
        for (int i = 0; i < 12; ++i) EXPECT_EQ(f[i], 0) << "loopback Ethernet address byte " << i;
        EXPECT_EQ(buffer.getEtherType(packet), 0x0800);
        EXPECT_EQ(buffer.getIPProtocol(packet), 17);
        EXPECT_EQ(buffer.getSrcIPText(packet), "127.0.0.1");
        EXPECT_EQ(buffer.getDstIPText(packet), "127.0.0.1");
        EXPECT_EQ(buffer.getIPTotalLength(packet), kIp + kUdp + int(p.size()));
        EXPECT_EQ(buffer.getUDPSrcPort(packet), udp.sourcePort);
        EXPECT_EQ(buffer.getUDPDstPort(packet), udp.port);
        const int payloadAt = kEthernet + kIp + kUdp;
        EXPECT_TRUE(std::equal(f + payloadAt, f + stored, p.begin()))
            << "payload differs from what was sent";
        EXPECT_EQ(buffer.wireLength(packet), std::uint32_t(frameLength(p)));
        const CaptureTime& t = buffer.captureTime(packet);
        ASSERT_TRUE(t.known);
        EXPECT_TRUE(t.decimals == 6 || t.decimals == 9);
        EXPECT_GE(t.seconds, before - 1);
        EXPECT_LE(t.seconds, QDateTime::currentSecsSinceEpoch() + 1);
        // The file holds the times the buffer holds, to the nanosecond.
        EXPECT_TRUE(lines[k].startsWith(
            QStringLiteral("%1.%2 ").arg(t.seconds).arg(t.nanoseconds, 9, 10, QLatin1Char('0'))))
            << lines[k].toStdString();
    }
    const CaptureStats s = session->source().stats();
    EXPECT_EQ(s.captured, std::uint64_t(n));
    EXPECT_EQ(s.cut, 2u);  // 1560 and 3000 bytes of payload make frames of more than 1601
    EXPECT_EQ(s.queueDropped, 0u);
}

// Runs `pelsid --capture lo` for the payloads (with `output`: --fields or
// --write FILE) and sends them once it captures; true when it ended well.
bool captureByCommand(QProcess& pelsid, const LoopbackUdp& udp,
                      const std::vector<std::vector<std::uint8_t>>& payloads,
                      const QStringList& output) {
    pelsid.start(PELSID_EXECUTABLE,
                 QStringList{"--capture", "lo", "--filter", QString::fromStdString(udp.filter()),
                             "--count", QString::number(payloads.size())} +
                     output);
    // The command says when it captures; only then does the traffic start.
    pelsid.setReadChannel(QProcess::StandardError);
    QByteArray err;
    while (!err.contains("capturing") && pelsid.waitForReadyRead(3000))
        err += pelsid.readAllStandardError();
    EXPECT_TRUE(err.contains("capturing")) << err.toStdString();
    for (const auto& p : payloads) udp.send(p);
    EXPECT_TRUE(pelsid.waitForFinished(5000)) << "the command did not end";
    EXPECT_EQ(pelsid.exitCode(), 0) << pelsid.readAllStandardError().toStdString();
    return pelsid.exitCode() == 0 && pelsid.exitStatus() == QProcess::NormalExit;
}

// Printing the fields, then recording with the times and the lengths on the wire.
TEST_F(LiveCaptureTest, CaptureCommandPrintsOrRecordsTheFramesSent) {
    SKIP_UNLESS_LOOPBACK_CAPTURE();
    const LoopbackUdp udp;
    const auto payloads = knownPayloads();
    QProcess fields;
    ASSERT_TRUE(captureByCommand(fields, udp, payloads, {"--fields"}));
    const QStringList lines =
        QString::fromUtf8(fields.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), qsizetype(payloads.size()) + 1);
    EXPECT_TRUE(lines[0].startsWith("number\tlength\t"));
    for (std::size_t k = 0; k < payloads.size(); ++k) {
        const QStringList f = lines[qsizetype(k) + 1].split('\t');
        ASSERT_EQ(f.size(), 23);  // the capture time, the (empty) VLAN ID and frame number
        EXPECT_EQ(f[22], "");     // captured: no file to number it in
        EXPECT_EQ(f[0].toInt(), int(k) + 1);
        EXPECT_EQ(f[1].toInt(), std::min(frameLength(payloads[k]), PacketBuffer::kSlotBytes));
        EXPECT_EQ(f[6].toInt(), kIp + kUdp + int(payloads[k].size()));
        EXPECT_EQ(f[12], "UDP");
        EXPECT_EQ(f[14], "127.0.0.1");
        EXPECT_EQ(f[15], "127.0.0.1");
        EXPECT_EQ(f[18].toInt(), udp.sourcePort);
        EXPECT_EQ(f[19].toInt(), udp.port);
    }

    QTemporaryDir dir;
    const QString path = dir.filePath("lo.pcap");
    const double before = double(QDateTime::currentMSecsSinceEpoch()) / 1000;
    QProcess writing;
    ASSERT_TRUE(captureByCommand(writing, udp, payloads, {"--write", path}));
    const double after = double(QDateTime::currentMSecsSinceEpoch()) / 1000;
    EXPECT_TRUE(writing.readAllStandardOutput().isEmpty());
    const QStringList recorded = tcpdumpLines(path);
    ASSERT_EQ(recorded.size(), qsizetype(payloads.size())) << recorded.join('\n').toStdString();
    for (std::size_t k = 0; k < payloads.size(); ++k) {
        const QString& line = recorded[qsizetype(k)];
        const double t = line.section(' ', 0, 0).toDouble();
        EXPECT_GE(t, before - 1) << line.toStdString();
        EXPECT_LE(t, after + 1) << line.toStdString();
        // The wire length, not the bytes kept: frames longer than a slot say how long they were.
        EXPECT_TRUE(line.contains(QStringLiteral("length %1:").arg(frameLength(payloads[k]))))
            << line.toStdString();
    }
}

TEST_F(LiveCaptureTest, ABadFilterShowsLibpcapsMessageAndDoesNotStart) {
    SKIP_UNLESS_LOOPBACK_CAPTURE();
    EXPECT_FALSE(startOnLoopback("udp portx 9"));
    EXPECT_FALSE(session->capturing());
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_NE(dialogs.messages[0].text.find("\"udp portx 9\" is not valid: "), std::string::npos);
    EXPECT_NE(dialogs.messages[0].text.find("syntax error"), std::string::npos);

    QProcess pelsid;
    pelsid.start(PELSID_EXECUTABLE,
                 {"--capture", "lo", "--filter", "udp portx 9", "--count", "1", "--fields"});
    ASSERT_TRUE(pelsid.waitForFinished(5000));
    EXPECT_EQ(pelsid.exitCode(), 1);
    EXPECT_TRUE(pelsid.readAllStandardError().contains("is not valid"));
}

TEST(LiveCaptureFailure, AnAdapterThatDoesNotExistIsNamedInTheMessage) {
    PcapCaptureSource source;
    source.selectByName("pelsid-none0");
    const CaptureProblem problem = source.start();
    EXPECT_FALSE(problem.ok());
    EXPECT_FALSE(source.isCapturing());
    const std::string text = problem.message("pelsid-none0", "");
    EXPECT_NE(text.find("Cannot capture on adapter \"pelsid-none0\": "), std::string::npos);
    EXPECT_GT(problem.reason.size(), 0u);

    QProcess pelsid;
    pelsid.start(PELSID_EXECUTABLE, {"--capture", "pelsid-none0", "--count", "1", "--fields"});
    ASSERT_TRUE(pelsid.waitForFinished(5000));
    EXPECT_EQ(pelsid.exitCode(), 1);
    EXPECT_TRUE(pelsid.readAllStandardError().contains("\"pelsid-none0\""));
    EXPECT_TRUE(pelsid.readAllStandardOutput().isEmpty());
}

}  // namespace
}  // namespace pelsid
