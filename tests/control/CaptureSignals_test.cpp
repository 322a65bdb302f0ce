// Ending `pelsid --capture --write` and the windows with real signals.
#include <gtest/gtest.h>
#include <signal.h>

#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include "store/CaptureFile.h"
#include "support/CommandOutput.h"
#include "support/HelperProcesses.h"
#include "support/LoopbackUdp.h"
#include "support/WaitFor.h"

namespace pelsid {
using namespace test;
namespace {

constexpr int kFrames = 30;

struct Ending {
    const char* name;
    std::vector<int> sent;  // signals sent one after the other
    bool exitsCleanly;      // status 0 and the closing line
};

class CaptureSignals : public ::testing::TestWithParam<Ending> {};

// The recording holds every frame sent before the last flush, whatever ends
// the capture, for our reader and for tcpdump; no helper outlives pelsid.
TEST_P(CaptureSignals, LeaveARecordingWithEveryFrameUpToTheLastFlush) {
    SKIP_UNLESS_LOOPBACK_CAPTURE();
    const Ending& ending = GetParam();
    const LoopbackUdp udp;
    QTemporaryDir dir;
    const QString path = dir.filePath("live.pcapng");
    QProcess pelsid;
    pelsid.start(PELSID_EXECUTABLE, {"--capture", "lo", "--filter",
                                     QString::fromStdString(udp.filter()), "--write", path});
    ASSERT_TRUE(pelsid.waitForStarted(3000));
    pelsid.setReadChannel(QProcess::StandardError);
    QByteArray err;
    while (!err.contains("until interrupted\n") && pelsid.waitForReadyRead(5000))
        err += pelsid.readAllStandardError();
    ASSERT_TRUE(err.contains("capturing on lo until interrupted")) << err.toStdString();
    for (int i = 0; i < kFrames; ++i) udp.send(std::vector<std::uint8_t>(std::size_t(10 + i), 1));
    QThread::msleep(1500);  // a flush comes at least once a second

    for (int s : ending.sent) {
        kill(pid_t(pelsid.processId()), s);
        QThread::msleep(20);  // two signals sent at once would be taken as one
    }
    ASSERT_TRUE(pelsid.waitForFinished(3000));
    err += pelsid.readAllStandardError();
    if (ending.exitsCleanly) {
        EXPECT_EQ(pelsid.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(pelsid.exitCode(), 0);
        EXPECT_TRUE(err.contains(QStringLiteral("\n%1 frames captured, 0 dropped by the kernel\n")
                                     .arg(kFrames)
                                     .toUtf8()))
            << err.toStdString();
    } else {
        // Ended at once: by the second SIGINT (status 130) or by the kill.
        EXPECT_FALSE(err.contains("frames captured")) << err.toStdString();
        if (ending.sent.back() == SIGINT) {
            EXPECT_EQ(pelsid.exitCode(), 128 + SIGINT);
        }
    }
    const CaptureFile file = readCaptureFile(path.toStdString());
    EXPECT_EQ(file.recordCount(), kFrames);
    if (test::haveTcpdump()) {
        const auto shown = test::runCommand("tcpdump -r '" + path.toStdString() + "' 2>/dev/null");
        EXPECT_EQ(std::count(shown.out.begin(), shown.out.end(), '\n'), kFrames) << shown.out;
    }
    EXPECT_TRUE(waitFor([&] { return test::helpersWithFilter(udp.filter()).empty(); }, 2000))
        << "the helper outlived pelsid";
}

INSTANTIATE_TEST_SUITE_P(Endings, CaptureSignals,
                         ::testing::Values(Ending{"SIGINT", {SIGINT}, true},
                                           Ending{"SIGTERM", {SIGTERM}, true},
                                           Ending{"SIGINTTwice", {SIGINT, SIGINT}, false},
                                           Ending{"SIGKILL", {SIGKILL}, false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(WindowSignals, SigtermAndSigintEndTheWindowsAsExitDoes) {
    for (int s : {SIGTERM, SIGINT}) {
        QProcess pelsid;
        auto env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        pelsid.setProcessEnvironment(env);
        pelsid.start(PELSID_EXECUTABLE, QStringList{});
        ASSERT_TRUE(pelsid.waitForStarted(3000));
        QThread::msleep(1500);
        ASSERT_EQ(pelsid.state(), QProcess::Running) << pelsid.readAllStandardError().toStdString();
        kill(pid_t(pelsid.processId()), s);
        ASSERT_TRUE(pelsid.waitForFinished(5000)) << s;
        EXPECT_EQ(pelsid.exitStatus(), QProcess::NormalExit) << s;
        EXPECT_EQ(pelsid.exitCode(), 0) << s;
    }
}

}  // namespace
}  // namespace pelsid
