// Captures a loopback flood through the capture window of a whole application
// on the offscreen platform, with every view hidden or every view shown, and
// prints one line: rate sent captured stored kernel-dropped queue-dropped, the
// user-interface thread's CPU microseconds per stored frame, the rate the
// sender reached (on a busy machine it falls short of the rate asked) and the
// capture helper's CPU microseconds per captured frame (0 for synthetic).
//   captureflood UDPFLOOD PORT RATE SECONDS hidden|shown
// With UDPFLOOD "synthetic" no kernel is involved: a thread of the program
// hands frames over at exactly RATE, as the capturing thread would, so the
// program's own limit shows beyond what the loopback sender reaches.
#include <unistd.h>

#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QThread>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <iostream>
#include <thread>
#include <vector>

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

// CPU seconds the capture helper that filters on `port` has used so far.
double helperSeconds(const QString& port) {
    for (const QString& entry : QDir("/proc").entryList(QDir::Dirs)) {
        QFile cmdline("/proc/" + entry + "/cmdline");
        if (!cmdline.open(QIODevice::ReadOnly)) continue;
        const QByteArray args = cmdline.readAll();
        if (!args.contains("pelsid-capture") || !args.contains(("port " + port).toUtf8())) continue;
        QFile stat("/proc/" + entry + "/stat");
        if (!stat.open(QIODevice::ReadOnly)) continue;
        // utime and stime: the 12th and 13th fields after the command's closing parenthesis.
        const QByteArray text = stat.readAll();
        const QList<QByteArray> f = text.mid(text.lastIndexOf(')') + 2).split(' ');
        if (f.size() > 12)
            return double(f[11].toLongLong() + f[12].toLongLong()) / sysconf(_SC_CLK_TCK);
    }
    return 0;
}

// The event loop as the program runs it: asleep while nothing is to do, so
// the thread's CPU time is only what the frames cost.
void runEvents(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}
// Frames of 64-byte UDP payloads handed over at a steady rate from a thread.
class SyntheticSource : public pelsid::CaptureSource {
  public:
    SyntheticSource(long rate, int seconds) : rate_(rate), seconds_(seconds) {}
    ~SyntheticSource() override { stop(); }
    void refresh() override {}
    int adapterCount() const override { return 1; }
    const pelsid::CaptureAdapter& adapter(int) const override { return adapter_; }
    void select(int) override {}
    pelsid::CaptureProblem start() override {
        beginDelivery();
        running_ = true;
        worker_ = std::thread([this] { run(); });
        return {};
    }
    void stop() override {
        if (!worker_.joinable()) return;
        running_ = false;
        worker_.join();
        endDelivery();
    }
    bool isCapturing() const override { return worker_.joinable(); }
    bool sending() const { return sending_; }
    long sent() const { return sent_; }

  private:
    void run() {
        std::vector<std::uint8_t> frame(14 + 20 + 8 + 64, 0x42);
        frame[12] = 0x08, frame[13] = 0x00, frame[14] = 0x45, frame[23] = 17;
        const auto begin = std::chrono::steady_clock::now();
        const long total = rate_ * seconds_;
        while (running_ && sent_ < total) {
            const double elapsed =
                std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
            const long due = std::min(total, long(elapsed * double(rate_)));
            for (; sent_ < due; ++sent_) {
                frame[36] = std::uint8_t(sent_), frame[37] = std::uint8_t(sent_ >> 8);
                handOver(frame.data(), int(frame.size()), int(frame.size()),
                         {std::int64_t(1765200000 + sent_ / rate_), 0, 9, true});
            }
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
        sending_ = false;
    }

    const long rate_;
    const int seconds_;
    const pelsid::CaptureAdapter adapter_{"synthetic", "synthetic", true};
    std::thread worker_;
    std::atomic<bool> running_{false};
    std::atomic<bool> sending_{true};
    std::atomic<long> sent_{0};
};

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
    const bool synthetic = args[1] == "synthetic";
    SyntheticSource* source = nullptr;
    if (synthetic)
        app.setCaptureSourceFactory([&] {
            auto s = std::make_unique<SyntheticSource>(args[3].toLong(), args[4].toInt());
            source = s.get();
            return s;
        });
    app.initApplication();
    if (args[5] == "shown")
        for (int i = 1; i <= 7; ++i) app.registry().toggleWindow(QStringLiteral("frmVis%1").arg(i));

    auto* window = static_cast<pelsid::CaptureWindow*>(app.registry().window("frmCapture"));
    auto* list = window->findChild<QComboBox*>("cmbInterface");
    for (int i = 1; i <= window->session().source().adapterCount(); ++i)
        if (window->session().source().adapter(i).name == "lo") list->setCurrentIndex(i - 1);
    window->findChild<QLineEdit*>("txtFilter")->setText("udp dst port " + args[2]);
    window->startCapture();
    if (!window->session().source().isCapturing()) return 1;

    const double cpuStart = threadSeconds();
    QProcess flood;
    QEventLoop flooding;
    QObject::connect(&flood, &QProcess::finished, &flooding, &QEventLoop::quit);
    QTimer senderDone;
    QObject::connect(&senderDone, &QTimer::timeout, &flooding, [&] {
        if (!source->sending()) flooding.quit();
    });
    QElapsedTimer wall;
    wall.start();
    if (synthetic) {
        senderDone.start(20);
        flooding.exec();
    } else {
        flood.start(args[1], {args[2], args[3], args[4]});
        if (flood.waitForStarted()) flooding.exec();
    }
    const double floodSeconds = double(wall.elapsed()) / 1000;
    // Let the last frames come through: the kernel, then the queue.
    std::uint64_t last = ~0ull;
    while (window->session().source().stats().captured != last ||
           window->session().source().waiting() > 0) {
        last = window->session().source().stats().captured;
        runEvents(300);
    }
    const pelsid::CaptureStats s = window->session().source().stats();
    const long sent = synthetic ? source->sent() : flood.readAllStandardOutput().trimmed().toLong();
    const double cpu = threadSeconds() - cpuStart;
    const double helperCpu = synthetic ? 0 : helperSeconds(args[2]);
    window->stopCapture();
    const double perFrame =
        window->session().stored() ? cpu * 1e6 / double(window->session().stored()) : 0;
    std::printf("%s %ld %llu %llu %llu %llu %.2f %.0f %.2f\n", args[3].toLatin1().constData(), sent,
                static_cast<unsigned long long>(s.captured),
                static_cast<unsigned long long>(window->session().stored()),
                static_cast<unsigned long long>(s.kernelDropped),
                static_cast<unsigned long long>(s.queueDropped), perFrame,
                floodSeconds > 0 ? double(sent) / floodSeconds : 0.0,
                s.captured ? helperCpu * 1e6 / double(s.captured) : 0.0);
    return 0;
}
