// The capture helper pelsid-capture on its own, and pelsid when it fails.
#include <gtest/gtest.h>
#include <signal.h>

#include <QProcess>
#include <QRegularExpression>

#include "control/PcapCaptureSource.h"
#include "support/CaptureSessionRig.h"
#include "support/HelperProcesses.h"
#include "support/LoopbackUdp.h"
#include "support/WaitFor.h"

namespace pelsid {
using namespace test;
namespace {

struct HelperRun {
    int status = -1;
    QString out, err;
};

HelperRun runHelper(const QStringList& args) {
    QProcess p;
    p.start(PELSID_HELPER, args);
    p.waitForFinished(10000);
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
            QString::fromUtf8(p.readAllStandardOutput()),
            QString::fromUtf8(p.readAllStandardError())};
}

TEST(CaptureHelper, RefusesEveryArgumentItDoesNotKnowWithAUsageError) {
    const QString longName(65, 'a'), longFilter(4097, 'a');
    const std::vector<QStringList> refused{
        {},
        {"--adapter"},
        {"--adapter", "../lo"},
        {"--adapter", "-lo"},
        {"--adapter", longName},
        {"--adapter", "lo", "--adapter", "eth0"},
        {"--adapter", "lo", "--filter", longFilter},
        {"--adapter", "lo", "--filter", "udp\nport 9"},
        {"--adapter", "lo", "--snaplen", "0"},
        {"--adapter", "lo", "--snaplen", "262145"},
        {"--adapter", "lo", "--snaplen", "-5"},
        {"--adapter", "lo", "--promisc"},
        {"--list", "--adapter", "lo"},
        {"--list", "--filter", "udp"},
        {"lo"},
    };
    for (const QStringList& args : refused) {
        SCOPED_TRACE(args.join(' ').left(80).toStdString());
        const HelperRun r = runHelper(args);
        EXPECT_EQ(r.status, 2);
        EXPECT_TRUE(r.err.startsWith("pelsid-capture: ")) << r.err.toStdString();
        EXPECT_TRUE(r.err.contains("\nusage: pelsid-capture --list")) << r.err.toStdString();
        EXPECT_TRUE(r.out.isEmpty());
    }
}

TEST(CaptureHelper, HoldsNoQtAndListsTheAdaptersWithTheirAddresses) {
    QProcess ldd;
    ldd.start("ldd", {PELSID_HELPER});
    ASSERT_TRUE(ldd.waitForFinished(10000));
    const QString libraries = QString::fromUtf8(ldd.readAllStandardOutput());
    EXPECT_TRUE(libraries.contains("libpcap"));
    EXPECT_FALSE(libraries.contains("Qt", Qt::CaseInsensitive)) << libraries.toStdString();

    const HelperRun r = runHelper({"--list"});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    const auto adapters = parseAdapterList(r.out.toStdString());
    const auto lo = std::find_if(adapters.begin(), adapters.end(),
                                 [](const CaptureAdapter& a) { return a.name == "lo"; });
    ASSERT_NE(lo, adapters.end()) << r.out.toStdString();
    EXPECT_EQ(lo->description, "lo (127.0.0.1)");
    EXPECT_TRUE(r.out.contains(QRegularExpression("(^|\n)lo\t[01]\t[^\t]*\t127\\.0\\.0\\.1( |\n)")))
        << r.out.toStdString();
}

// Started with every capability (as root), it has none left when it reads.
TEST(CaptureHelper, DropsEveryCapabilityBeforeItReadsAFrameAndEndsWhenItsReaderGoes) {
    SKIP_UNLESS_LOOPBACK_CAPTURE();
    const LoopbackUdp udp;
    // The reader takes the stream's first byte and goes.
    QProcess pipeline;
    pipeline.start("sh", {"-c", QStringLiteral("'%1' --adapter lo --filter '%2' "
                                               "--report-capabilities | head -c 1 >/dev/null")
                                    .arg(PELSID_HELPER, QString::fromStdString(udp.filter()))});
    EXPECT_TRUE(pipeline.waitForFinished(5000)) << "the helper outlived its reader";
    const QString report = QString::fromUtf8(pipeline.readAllStandardError());
    for (const char* set : {"CapInh", "CapPrm", "CapEff", "CapAmb"})
        EXPECT_TRUE(report.contains(
            QStringLiteral("pelsid-capture: %1:\t0000000000000000\n").arg(QLatin1String(set))))
            << set << "\n"
            << report.toStdString();
}

// The helper killed under a running capture: the session says so and keeps
// every frame that came before.
TEST(CaptureHelper, AHelperThatDiesIsReportedAndItsFramesAreKept) {
    SKIP_UNLESS_LOOPBACK_CAPTURE();
    const LoopbackUdp udp;
    CaptureSessionRig rig;
    CaptureSession& session = rig.open(std::make_unique<PcapCaptureSource>());
    ASSERT_TRUE(session.start(rig.adapterNamed("lo"), udp.filter()))
        << rig.dialogs.messages[0].text;
    for (int i = 0; i < 25; ++i) udp.send(std::vector<std::uint8_t>(std::size_t(i + 1), 9));
    EXPECT_TRUE(waitFor([&] { return rig.buffer.newestHeld() == 25; }, 4000));
    const auto helpers = test::helpersWithFilter(udp.filter());
    ASSERT_EQ(helpers.size(), 1u);
    kill(helpers[0], SIGKILL);
    EXPECT_TRUE(waitFor([&] { return !session.capturing(); }, 4000));
    ASSERT_EQ(rig.dialogs.messages.size(), 1u);
    EXPECT_EQ(rig.dialogs.messages[0].text,
              "Capture on adapter \"lo\" stopped: pelsid-capture was ended by signal 9 (Killed)");
    EXPECT_EQ(rig.buffer.newestHeld(), 25);
}

}  // namespace
}  // namespace pelsid
