// Captures a loopback flood through the capture window of a whole application
// on the offscreen platform, with every view hidden or every view shown, and
// prints one line: rate sent captured stored kernel-dropped queue-dropped and the
// user-interface thread's CPU microseconds per stored frame.
//   captureflood UDPFLOOD PORT RATE SECONDS hidden|shown
#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QProcess>
#include <QThread>
#include <QTimer>
#include <cstdio>
#include <ctime>
#include <iostream>

#include "control/CaptureWindow.h"
#include "shell/Application.h"
#include "store/Dialogs.h"

namespace {
// Says Yes and prints every message: nobody is there to answer.
class UnattendedDialogs : public pelsid::Dialogs {
  public:
    bool question(const std::string&, const std::string&) override { return true; }
    void message(Icon, const std::string& title, const std::string& text) override {
        std::cerr << title << ": " << text << '\n';
    }
    std::string openFileName(const std::string&, const std::string&) override { return {}; }
    std::uint32_t chooseColor(std::uint32_t initial) override { return initial; }
};

// CPU time of the user-interface thread: what storing and drawing cost, whatever the load.
double threadSeconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

// The event loop as the program runs it: asleep while nothing is to do, so
// the thread's CPU time is only what the frames cost.
void runEvents(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}
}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication qapp(argc, argv);
    const QStringList args = qapp.arguments();
    if (args.size() != 6 || (args[5] != "hidden" && args[5] != "shown")) {
        std::cerr << "usage: captureflood UDPFLOOD PORT RATE SECONDS hidden|shown\n";
        return 2;
    }
    UnattendedDialogs dialogs;
    pelsid::Application app(dialogs, QDir::tempPath());
    app.initApplication();
    if (args[5] == "shown")
        for (int i = 1; i <= 7; ++i) app.registry().toggleWindow(QStringLiteral("frmVis%1").arg(i));

    auto* window = static_cast<pelsid::CaptureWindow*>(app.registry().window("frmCapture"));
    auto* list = window->findChild<QComboBox*>("cmbInterface");
    for (int i = 1; i <= window->source().adapterCount(); ++i)
        if (window->source().adapter(i).name == "lo") list->setCurrentIndex(i - 1);
    window->findChild<QLineEdit*>("txtFilter")->setText("udp dst port " + args[2]);
    window->StartCapture();
    if (!window->source().isCapturing()) return 1;

    const double cpuStart = threadSeconds();
    QProcess flood;
    QEventLoop flooding;
    QObject::connect(&flood, &QProcess::finished, &flooding, &QEventLoop::quit);
    flood.start(args[1], {args[2], args[3], args[4]});
    if (flood.waitForStarted()) flooding.exec();
    // Let the last frames come through: the kernel, then the queue.
    std::uint64_t last = ~0ull;
    while (window->source().stats().captured != last || window->source().waiting() > 0) {
        last = window->source().stats().captured;
        runEvents(300);
    }
    const pelsid::CaptureStats s = window->source().stats();
    const long sent = flood.readAllStandardOutput().trimmed().toLong();
    const double cpu = threadSeconds() - cpuStart;
    window->StopCapture();
    const double perFrame = window->stored() ? cpu * 1e6 / double(window->stored()) : 0;
    std::printf("%s %ld %llu %llu %llu %llu %.2f\n", args[3].toLatin1().constData(), sent,
                static_cast<unsigned long long>(s.captured),
                static_cast<unsigned long long>(window->stored()),
                static_cast<unsigned long long>(s.kernelDropped),
                static_cast<unsigned long long>(s.queueDropped), perFrame);
    return 0;
}
