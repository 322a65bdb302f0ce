// How long the overview strip takes to repaint at a width of 2000 columns,
// the overview holding a long capture's worth of intervals; and, given a
// FILE, how long a hover takes to answer while the pass over FILE runs on a
// thread, as the overview window copies the overview and answers meanwhile
// (bench/overview runs it).
//   pelsid_overviewstrip [REPAINTS [FILE]]
#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <iostream>
#include <mutex>
#include <thread>
#include <vector>

#include "control/OverviewStrip.h"
#include "store/OverviewScan.h"

namespace {
// Each answer: copy the overview so far, show it, and name the interval
// under the pointer, as a hover over the growing strip does.
void hoverDuringPass(const char* file) {
    pelsid::OverviewScan scan;
    std::mutex guard;
    std::atomic<bool> done = false;
    std::thread pass([&] {
        pelsid::scanOverviewInto(scan, file, {}, &guard);
        done = true;
    });
    pelsid::OverviewStrip strip;
    strip.resize(2000, 200);
    std::vector<double> ms;
    QElapsedTimer whole;
    whole.start();
    while (!done) {
        QElapsedTimer clock;
        clock.start();
        pelsid::Overview now;
        {
            const std::lock_guard<std::mutex> hold(guard);
            now = scan.overview;
        }
        strip.setOverview(now);
        const pelsid::Overview& shown = strip.shown();
        if (!shown.empty()) strip.describe((shown.firstIndex() + shown.lastIndex()) / 2);
        ms.push_back(double(clock.nsecsElapsed()) / 1e6);
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    pass.join();
    std::sort(ms.begin(), ms.end());
    if (ms.empty()) return;
    std::cout << "hover during the pass (" << whole.elapsed() << " ms, " << ms.size()
              << " answers): median " << ms[ms.size() / 2] << " ms, worst " << ms.back()
              << " ms (goal: under 16 ms)\n";
}
}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int repaints = argc > 1 ? std::atoi(argv[1]) : 200;
    // An hour of traffic at 1000 frames a second, bursts every minute.
    pelsid::Overview overview;
    pelsid::CaptureTime t{1'800'000'000, 0, 6, true};
    for (int i = 0; i < 3'600'000; ++i) {
        t.seconds = 1'800'000'000 + i / 1000;
        t.nanoseconds = std::uint32_t(i % 1000) * 1'000'000;
        const int kind = (i % 60'000 < 2000) ? 2 : i % 7;
        overview.add(std::uint64_t(i + 1), 60 + std::uint64_t(i % 1400), kind, t);
    }
    pelsid::OverviewStrip strip;
    strip.resize(2000, 200);
    strip.setOverview(overview);
    strip.setLogScale(true);
    strip.setHeld(std::make_pair(overview.startOf(overview.firstIndex() + 100),
                                 overview.startOf(overview.firstIndex() + 900)));
    QImage target(strip.size(), QImage::Format_RGB32);
    std::vector<double> ms;
    for (int i = 0; i < repaints; ++i) {
        QElapsedTimer clock;
        clock.start();
        strip.render(&target);
        ms.push_back(double(clock.nsecsElapsed()) / 1e6);
    }
    // The first paint at a width also groups the intervals for it.
    const double first = ms.front();
    ms.erase(ms.begin());
    std::sort(ms.begin(), ms.end());
    std::cout << "intervals held: " << overview.lastIndex() - overview.firstIndex() + 1 << " of "
              << overview.interval() / 1'000'000
              << " ms; shown: " << strip.shown().lastIndex() - strip.shown().firstIndex() + 1
              << " of " << strip.shown().interval() / 1'000'000 << " ms\n";
    std::cout << "first paint at 2000 columns (grouping included): " << first << " ms\n"
              << "repaint at 2000 columns: median " << ms[ms.size() / 2] << " ms, worst "
              << ms.back() << " ms (goal: under 16 ms)\n";
    if (argc > 2) hoverDuringPass(argv[2]);
    return 0;
}
