// Cost per packet of each view's plot and plotThumbnail at its default size,
// and of the pipeline with no view, over the packets of a capture file.
// Every view window is shown, as in `pelsid --render`. Prints one line per
// view with the median of several passes in nanoseconds per packet.
// Usage: pelsid_viewcost FILE [PASSES]
#include <QApplication>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <algorithm>
#include <array>
#include <cstdio>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "pipeline/Pipeline.h"
#include "shell/Application.h"
#include "shell/QtDialogs.h"
#include "store/CaptureFile.h"

using namespace pelsid;

namespace {

constexpr const char* kNames[ViewSet::kViewCount] = {
    "text rainfall", "byte frequency", "parallel coordinates", "binary rainfall", "scatter plot",
    "combined",      "detail"};

/// A view set with nothing in it: the pipeline's own cost.
struct NoViews : ViewSet {
    struct Nothing : PacketView {
        void plot(const PlayedPacket&) override {}
        void plotThumbnail(const PlayedPacket&) override {}
        void clear() override {}
    } nothing;
    PacketView& view(int) override { return nothing; }
    bool isShown(int) override { return false; }
};

/// Median over `passes` of the nanoseconds per packet that `step` takes for
/// packets 1..count, given in runs as the pipeline gives them (first, size).
double perPacket(int count, int passes, const std::function<void(int, int)>& step) {
    std::vector<double> ns;
    for (int k = 0; k < passes; ++k) {
        QElapsedTimer clock;
        clock.start();
        for (int n = 1; n <= count; n += Pipeline::kBatch)
            step(n, std::min(Pipeline::kBatch, count - n + 1));
        ns.push_back(double(clock.nsecsElapsed()) / count);
    }
    std::sort(ns.begin(), ns.end());
    return ns[ns.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication qt(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: pelsid_viewcost FILE [PASSES]\n");
        return 2;
    }
    const int passes = argc > 2 ? std::max(1, std::atoi(argv[2])) : 3;

    ConsoleDialogs dialogs;
    Application app(dialogs, QCoreApplication::applicationDirPath());
    app.initApplication();
    for (int n = 1; n <= ViewSet::kViewCount; ++n)
        app.registry().toggleWindow(QStringLiteral("frmVis%1").arg(n));

    const CaptureFile file = readCaptureFile(argv[1]);
    if (file.recordCount() == 0) {
        std::fprintf(stderr, "pelsid_viewcost: no packets in %s\n", argv[1]);
        return 1;
    }
    PacketBuffer& buffer = app.buffer();
    const int count = file.insertInto(buffer);

    // The packets as the pipeline hands them over: zero beyond their ends.
    std::vector<std::vector<std::uint8_t>> bytes(std::size_t(count) + 1);
    std::vector<PlayedPacket> packets(std::size_t(count) + 1);
    for (int n = 1; n <= count; ++n) {
        const int len = buffer.frameLength(n);
        bytes[n].assign(PacketBuffer::kSlotBytes, 0);
        std::copy_n(buffer.packetData(n), len, bytes[n].begin());
        packets[n] = {n,
                      bytes[n].data(),
                      len,
                      &buffer.fields(n),
                      app.filters().protocolColor(buffer.getIPProtocol(n)),
                      buffer.captureTime(n)};
    }

    NoViews none;
    Pipeline bare(buffer, app.filters(), none);
    std::printf("%d packets, median of %d passes, ns per packet\n", count, passes);
    std::printf("%-22s %10s %14s\n", "view", "plot", "plotThumbnail");
    double plots = 0, thumbs = 0;
    for (int i = 0; i < ViewSet::kViewCount; ++i) {
        PacketView& view = app.view(i);
        view.beginRun();
        auto run = [&](int n, int size) {
            return std::span<const PlayedPacket>(packets).subspan(std::size_t(n),
                                                                  std::size_t(size));
        };
        const double p = perPacket(count, passes, [&](int n, int k) { view.plotRun(run(n, k)); });
        const double t =
            perPacket(count, passes, [&](int n, int k) { view.plotThumbnailRun(run(n, k)); });
        plots += p;
        thumbs += t;
        std::printf("%-22s %10.0f %14.0f\n", kNames[i], p, t);
    }
    const double pipe = perPacket(count, passes, [&](int n, int k) {
        for (int i = n; i < n + k; ++i) bare.playPackets(i, i);
    });
    std::printf("%-22s %10.0f %14.0f\n", "all views", plots, thumbs);
    // The same work as a range plays it: each run through every view in turn.
    const double together = perPacket(count, passes, [&](int n, int k) {
        const auto r =
            std::span<const PlayedPacket>(packets).subspan(std::size_t(n), std::size_t(k));
        for (int i = 0; i < ViewSet::kViewCount; ++i) {
            app.view(i).plotRun(r);
            app.view(i).plotThumbnailRun(r);
        }
    });
    std::printf("%-22s %10.0f\n", "all views, run by run", together);
    std::printf("%-22s %10.0f\n", "pipeline, no views", pipe);
    return 0;
}
