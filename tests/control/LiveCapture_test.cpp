// Live capture on the loopback adapter; needs root (or the capture capability).
#include <gtest/gtest.h>

#include <QComboBox>
#include <QCoreApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QThread>

#include "control/CaptureWindow.h"
#include "control/PcapCaptureSource.h"
#include "pipeline/FilterModel.h"
#include "pipeline/Pipeline.h"
#include "store/PacketBuffer.h"
#include "support/LoopbackUdp.h"
#include "support/RecordingViews.h"
#include "support/ScriptedDialogs.h"

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

// Lets the event loop run until `done` holds or the deadline passes.
template <class F>
bool waitFor(F done, int ms) {
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < ms) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(2);
    }
    return done();
}

class LiveCaptureTest : public ::testing::Test {
  protected:
    LiveCaptureTest() : pipeline(buffer, filters, views) {}

    CaptureWindow& openOnLoopback(const std::string& filter) {
        session = std::make_unique<CaptureSession>(std::make_unique<PcapCaptureSource>(), buffer,
                                                   pipeline, dialogs);
        window = std::make_unique<CaptureWindow>(*session, dialogs);
        int line = -1;
        for (int i = 1; i <= window->session().source().adapterCount(); ++i)
            if (window->session().source().adapter(i).name == "lo") line = i - 1;
        EXPECT_GE(line, 0) << "lo is not listed";
        window->findChild<QComboBox*>("cmbInterface")->setCurrentIndex(line);
        window->findChild<QLineEdit*>("txtFilter")->setText(QString::fromStdString(filter));
        return *window;
    }

    PacketBuffer buffer;
    FilterModel filters;
    test::RecordingViews views;
    Pipeline pipeline;
    ScriptedDialogs dialogs;
    std::unique_ptr<CaptureSession> session;
    std::unique_ptr<CaptureWindow> window;
};

TEST_F(LiveCaptureTest, CapturesExactlyTheDatagramsSentInOrderByteForByte) {
    SKIP_UNLESS_LOOPBACK_CAPTURE();
    const LoopbackUdp udp;
    CaptureWindow& w = openOnLoopback(udp.filter());
    w.startCapture();
    ASSERT_TRUE(dialogs.messages.empty()) << dialogs.messages[0].text;
    ASSERT_TRUE(w.session().source().isCapturing());

    const auto payloads = knownPayloads();
    for (const auto& p : payloads) udp.send(p);
    const int n = int(payloads.size());
    EXPECT_TRUE(waitFor([&] { return buffer.newestHeld() >= n; }, 4000));
    waitFor([] { return false; }, 200);  // nothing beyond them may follow
    w.stopCapture();

    ASSERT_EQ(buffer.newestHeld(), n);
    EXPECT_EQ(views.plotted().size(), std::size_t(n));
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
    }
    const CaptureStats s = w.session().source().stats();
    EXPECT_EQ(s.captured, std::uint64_t(n));
    EXPECT_EQ(s.cut, 2u);  // 1560 and 3000 bytes of payload make frames of more than 1601
    EXPECT_EQ(s.queueDropped, 0u);
}

// Runs `pelsid --capture lo` for the payloads (with `output`: --fields or
// --write FILE) and sends them once it captures; true when it ended well.
void captureByCommand(QProcess& pelsid, const LoopbackUdp& udp,
                      const std::vector<std::vector<std::uint8_t>>& payloads,
                      const QStringList& output, bool& ended) {
    ended = false;
    pelsid.start(PELSID_EXECUTABLE,
                 QStringList{"--capture", "lo", "--filter", QString::fromStdString(udp.filter()),
                             "--count", QString::number(payloads.size())} +
                     output);
    ASSERT_TRUE(pelsid.waitForStarted(3000));
    // The command says when it captures; only then does the traffic start.
    pelsid.setReadChannel(QProcess::StandardError);
    QByteArray err;
    while (!err.contains("capturing") && pelsid.waitForReadyRead(3000))
        err += pelsid.readAllStandardError();
    err += pelsid.readAllStandardError();
    ASSERT_TRUE(err.contains("capturing")) << err.toStdString();
    for (const auto& p : payloads) udp.send(p);
    ASSERT_TRUE(pelsid.waitForFinished(5000)) << "the command did not end";
    EXPECT_EQ(pelsid.exitCode(), 0) << pelsid.readAllStandardError().toStdString();
    ended = pelsid.exitCode() == 0;
}

// What tcpdump makes of a capture file: one line per frame with its epoch
// time, Ethernet header and length.
QStringList tcpdumpLines(const QString& path) {
    QProcess tcpdump;
    tcpdump.start("tcpdump", {"-r", path, "-tt", "-n", "-e", "--time-stamp-precision=nano"});
    if (!tcpdump.waitForFinished(10000)) return {};
    return QString::fromUtf8(tcpdump.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
}

TEST_F(LiveCaptureTest, CaptureCommandPrintsTheFieldsOfTheFramesSent) {
    SKIP_UNLESS_LOOPBACK_CAPTURE();
    const LoopbackUdp udp;
    const auto payloads = knownPayloads();
    QProcess pelsid;
    bool ended = false;
    captureByCommand(pelsid, udp, payloads, {"--fields"}, ended);
    ASSERT_TRUE(ended);

    const QStringList lines =
        QString::fromUtf8(pelsid.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
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
}

TEST_F(LiveCaptureTest, CaptureCommandRecordsTheFramesWithTheirTimesAndLengths) {
    SKIP_UNLESS_LOOPBACK_CAPTURE();
    const LoopbackUdp udp;
    const auto payloads = knownPayloads();
    QTemporaryDir dir;
    const QString path = dir.filePath("lo.pcap");
    const double before = double(QDateTime::currentMSecsSinceEpoch()) / 1000;
    QProcess pelsid;
    bool ended = false;
    captureByCommand(pelsid, udp, payloads, {"--write", path}, ended);
    ASSERT_TRUE(ended);
    const double after = double(QDateTime::currentMSecsSinceEpoch()) / 1000;
    EXPECT_TRUE(pelsid.readAllStandardOutput().isEmpty());

    const QStringList lines = tcpdumpLines(path);
    ASSERT_EQ(lines.size(), qsizetype(payloads.size())) << lines.join('\n').toStdString();
    for (std::size_t k = 0; k < payloads.size(); ++k) {
        const QString& line = lines[qsizetype(k)];
        const double t = line.section(' ', 0, 0).toDouble();
        EXPECT_GE(t, before - 1) << line.toStdString();
        EXPECT_LE(t, after + 1) << line.toStdString();
        // The wire length, not the bytes kept: frames longer than a slot say how long they were.
        EXPECT_TRUE(line.contains(QStringLiteral("length %1:").arg(frameLength(payloads[k]))))
            << line.toStdString();
    }
}

TEST_F(LiveCaptureTest, TheWindowRecordsWhileItCapturesAndKeepsTheTimes) {
    SKIP_UNLESS_LOOPBACK_CAPTURE();
    const LoopbackUdp udp;
    CaptureWindow& w = openOnLoopback(udp.filter());
    QTemporaryDir dir;
    const QString path = dir.filePath("window.pcapng");
    dialogs.saveFiles = {path.toStdString()};
    w.findChild<QPushButton*>("btnRecord")->click();
    const auto before = QDateTime::currentSecsSinceEpoch();
    w.startCapture();
    ASSERT_TRUE(w.session().source().isCapturing());
    const auto payloads = knownPayloads();
    for (const auto& p : payloads) udp.send(p);
    const int n = int(payloads.size());
    EXPECT_TRUE(waitFor([&] { return buffer.newestHeld() >= n; }, 4000));
    w.stopCapture();
    ASSERT_TRUE(dialogs.messages.empty()) << dialogs.messages[0].text;

    const QStringList lines = tcpdumpLines(path);
    ASSERT_EQ(lines.size(), n) << lines.join('\n').toStdString();
    for (int k = 1; k <= n; ++k) {
        const CaptureTime& t = buffer.captureTime(k);
        ASSERT_TRUE(t.known);
        EXPECT_TRUE(t.decimals == 6 || t.decimals == 9);
        EXPECT_GE(t.seconds, before - 1);
        EXPECT_LE(t.seconds, QDateTime::currentSecsSinceEpoch() + 1);
        // The file holds the times the buffer holds, to the nanosecond.
        EXPECT_TRUE(lines[k - 1].startsWith(
            QStringLiteral("%1.%2 ").arg(t.seconds).arg(t.nanoseconds, 9, 10, QLatin1Char('0'))))
            << lines[k - 1].toStdString();
        EXPECT_EQ(buffer.wireLength(k), std::uint32_t(frameLength(payloads[std::size_t(k - 1)])));
    }
}

TEST_F(LiveCaptureTest, ABadFilterShowsLibpcapsMessageAndDoesNotStart) {
    SKIP_UNLESS_LOOPBACK_CAPTURE();
    CaptureWindow& w = openOnLoopback("udp portx 9");
    w.startCapture();
    EXPECT_FALSE(w.session().source().isCapturing());
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
