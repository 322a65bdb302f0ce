// Playback rate of the PVR: the sample played through the real views, all
// seven shown (offscreen), at a requested rate; reports the rate played.
//   bench_pvr_rate [benchmark flags] [--seconds=N] DATASET
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>
#include <array>
#include <iostream>
#include <string_view>
#include <vector>

#include "control/PlaybackController.h"
#include "control/PvrWindow.h"
#include "shell/Application.h"
#include "store/Dialogs.h"

using namespace pelsid;

namespace {

class SilentDialogs : public Dialogs {
  public:
    bool question(const std::string&, const std::string&) override { return false; }
    void message(Icon, const std::string& title, const std::string& text) override {
        std::cerr << title << ": " << text << "\n";
    }
    std::string openFileName(const std::string&, const std::string&) override { return {}; }
    std::uint32_t chooseColor(std::uint32_t initial) override { return initial; }
};

/// Hands every call on to the program's views and notes when the first view drew.
class TimedViews : public ViewSet {
  public:
    explicit TimedViews(ViewSet& views) : views_(views) {
        for (int i = 0; i < kViewCount; ++i) forwarders_[i] = {this, i};
    }
    PacketView& view(int index) override { return forwarders_[index]; }
    bool isShown(int index) override { return views_.isShown(index); }

    std::vector<std::int64_t> plotTimes;
    QElapsedTimer clock;

  private:
    struct Forwarder : PacketView {
        Forwarder() = default;
        Forwarder(TimedViews* owner, int index) : owner(owner), index(index) {}
        void plot(const PlayedPacket& p) override {
            if (index == 0) owner->plotTimes.push_back(owner->clock.nsecsElapsed());
            owner->views_.view(index).plot(p);
        }
        void plotThumbnail(const PlayedPacket& p) override {
            owner->views_.view(index).plotThumbnail(p);
        }
        void clear() override { owner->views_.view(index).clear(); }
        TimedViews* owner = nullptr;
        int index = 0;
    };
    ViewSet& views_;
    std::array<Forwarder, kViewCount> forwarders_;
};

struct Setup {
    Application* app;
    std::string dataset;
    double seconds;
};

void waitFor(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

void playAtRate(benchmark::State& state, Setup setup) {
    const int rate = int(state.range(0));
    Application& app = *setup.app;
    TimedViews views(app);
    Pipeline pipeline(app.buffer(), app.filters(), views);
    PlaybackController playback(app.buffer(), pipeline);
    PvrWindow pvr(playback, {});
    pvr.setAttribute(Qt::WA_DeleteOnClose, false);
    pvr.show();
    pvr.findChild<QSpinBox*>(QStringLiteral("spnSpeed"))->setValue(rate);
    pvr.findChild<QPushButton*>(QStringLiteral("tglLoop"))->setChecked(true);
    const int runMs = int(setup.seconds * 1000 + 1000.0 / rate + 50);
    for (auto _ : state) {
        views.plotTimes.clear();
        views.clock.start();
        pvr.findChild<QPushButton*>(QStringLiteral("btnPlay"))->click();
        waitFor(runMs);
        pvr.findChild<QPushButton*>(QStringLiteral("btnStop"))->click();
        state.SetIterationTime(views.clock.nsecsElapsed() / 1e9);
    }
    const auto& t = views.plotTimes;
    const double measured =
        t.size() >= 2 ? double(t.size() - 1) * 1e9 / double(t.back() - t.front()) : 0.0;
    state.counters["requested"] = rate;
    state.counters["measured"] = measured;
    state.counters["packets"] = double(t.size());
    state.SetLabel(std::to_string(rate) + " " + std::to_string(measured));
}

}  // namespace

int main(int argc, char** argv) {
    QApplication qapp(argc, argv);
    benchmark::Initialize(&argc, argv);
    double seconds = 10;
    std::string dataset;
    for (int i = 1; i < argc; ++i) {
        const std::string_view a = argv[i];
        if (a.starts_with("--seconds="))
            seconds = std::stod(std::string(a.substr(10)));
        else
            dataset = a;
    }
    if (dataset.empty()) {
        std::cerr << "usage: bench_pvr_rate [benchmark flags] [--seconds=N] DATASET\n";
        return 2;
    }
    SilentDialogs dialogs;
    Application app(dialogs, QDir::tempPath());
    app.initApplication();
    for (int i = 1; i <= ViewSet::kViewCount; ++i)
        app.registry().toggleWindow(QStringLiteral("frmVis%1").arg(i));
    if (!app.loadDataset(QString::fromStdString(dataset))) return 1;
    while (app.pipeline().busy()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);

    benchmark::RegisterBenchmark("pvr_rate", playAtRate, Setup{&app, dataset, seconds})
        ->Arg(1)
        ->Arg(10)
        ->Arg(100)
        ->Arg(1000)
        ->Iterations(1)
        ->UseManualTime()
        ->Unit(benchmark::kSecond);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
