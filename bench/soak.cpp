// Soak run: 30000 packets played through the PVR as a user would play them,
// every view shown, Loop on, speed at its maximum, for a given number of
// minutes; prints the resident memory and the packets played after each
// minute. Usage: pelsid_soak [MINUTES] [DATASET]
#include <unistd.h>

#include <QApplication>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QPushButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QTimer>
#include <cstdio>
#include <fstream>
#include <string>

#include "control/PlaybackController.h"
#include "control/PvrWindow.h"
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

template <class T>
T* control(QWidget* window, const char* name) {
    T* c = window->findChild<T*>(QString::fromLatin1(name));
    if (!c) {
        std::fprintf(stderr, "pelsid_soak: no control %s\n", name);
        std::exit(1);
    }
    return c;
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
    for (int i = 0; buffer.newestHeld() < PacketBuffer::kSlots; ++i) {
        const auto record = file.record(i % file.recordCount());
        buffer.insertPacket(record);
    }

    // The PVR, driven through its controls: shown, Max speed, Loop, Play.
    app.registry().toggleWindow(QStringLiteral("frmFilters"));
    PvrWindow* pvr = app.pvr();
    app.playback().resetRange();
    control<QPushButton>(pvr, "btnMaxSpeed")->click();
    control<QPushButton>(pvr, "tglLoop")->click();
    const int rate = control<QSpinBox>(pvr, "spnSpeed")->value();
    // Every tick moves the position bar by one packet (or back to the first).
    long long played = 0;
    QObject::connect(&app.playback(), &PlaybackController::positionChanged, &app,
                     [&played] { ++played; });

    std::printf("soak: %d packets, %d views shown, loop on, %d packets/s requested\n",
                buffer.newestHeld(), ViewSet::kViewCount, rate);
    std::printf("minute  rss_MB  packets_played  rate_in_minute\n");
    std::printf("%6d  %6.1f  %14d  %14s\n", 0, residentMegabytes(), 0, "-");
    std::fflush(stdout);

    QElapsedTimer clock;
    QTimer report;
    int minute = 0;
    long long playedBefore = 0;
    QObject::connect(&report, &QTimer::timeout, &app, [&] {
        const double seconds = double(clock.restart()) / 1000.0;
        std::printf("%6d  %6.1f  %14lld  %14.1f\n", ++minute, residentMegabytes(), played,
                    double(played - playedBefore) / seconds);
        std::fflush(stdout);
        playedBefore = played;
    });
    report.setTimerType(Qt::PreciseTimer);
    report.start(60000);
    QTimer::singleShot(int(minutes * 60000.0) + 100, Qt::PreciseTimer, &app, [&] {
        control<QPushButton>(pvr, "btnStop")->click();
        app.exit();
    });
    clock.start();
    control<QPushButton>(pvr, "btnPlay")->click();
    qt.exec();
    std::printf("done: %lld packets played (%.1f loops of %d), rss %.1f MB\n", played,
                double(played) / buffer.newestHeld(), buffer.newestHeld(), residentMegabytes());
    return 0;
}
