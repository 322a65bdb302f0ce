// Soak run: 30000 packets played over and over at the pipeline's full rate
// into every view, shown, for a given number of minutes; prints the resident
// memory after each minute. Usage: pelsid_soak [MINUTES] [DATASET]
#include <unistd.h>

#include <QApplication>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <cstdio>
#include <fstream>
#include <string>

#include "shell/Application.h"
#include "shell/QtDialogs.h"
#include "store/CaptureFile.h"

using namespace pelsid;

namespace {
double residentMegabytes() {
    std::ifstream statm("/proc/self/statm");
    long pages = 0, resident = 0;
    statm >> pages >> resident;
    return double(resident) * double(::sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}
}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication qt(argc, argv);
    const double minutes = argc > 1 ? std::stod(argv[1]) : 10.0;
    const std::string path = argc > 2 ? argv[2] : PELSID_SOURCE_DIR "/data/sample.pelsid";

    ConsoleDialogs dialogs;
    Application app(dialogs, QCoreApplication::applicationDirPath());
    app.initApplication();
    for (int n = 1; n <= ViewSet::kViewCount; ++n)
        app.registry().toggleWindow(QStringLiteral("frmVis%1").arg(n));

    // The file's records again and again until the buffer is full.
    const CaptureFile file = readCaptureFile(path);
    if (file.recordCount() == 0) {
        std::fprintf(stderr, "pelsid_soak: no packets in %s\n", path.c_str());
        return 1;
    }
    PacketBuffer& buffer = app.buffer();
    for (int i = 0; buffer.getPacketCount() < PacketBuffer::kSlots; ++i) {
        const auto record = file.record(i % file.recordCount());
        buffer.insertPacket(record.data(), int(record.size()) - 1);
    }

    std::printf("minute  rss_MB  packets_played  plays\n");
    std::printf("%6d  %6.1f  %14d  %5d\n", 0, residentMegabytes(), 0, 0);
    std::fflush(stdout);
    QElapsedTimer clock;
    clock.start();
    const qint64 end = qint64(minutes * 60000.0);
    qint64 nextReport = 60000;
    long long played = 0;
    int plays = 0;
    while (clock.elapsed() < end) {
        app.pipeline().playPackets(1, PacketBuffer::kSlots);
        while (app.pipeline().busy()) {
            QCoreApplication::processEvents();
            if (clock.elapsed() >= nextReport) {
                std::printf("%6lld  %6.1f  %14lld  %5d\n", nextReport / 60000, residentMegabytes(),
                            played + app.pipeline().lastPlayed(), plays);
                std::fflush(stdout);
                nextReport += 60000;
            }
            if (clock.elapsed() >= end) app.pipeline().cancelAll();
        }
        played += app.pipeline().lastPlayed();
        ++plays;
    }
    std::printf("done: %lld packets in %d plays, %.1f s, rss %.1f MB\n", played, plays,
                double(clock.elapsed()) / 1000.0, residentMegabytes());
    return 0;
}
