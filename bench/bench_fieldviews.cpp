// Per-packet cost of the header-field views at their default sizes.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QSpinBox>

#include "fieldviews/CombinedWindow.h"
#include "fieldviews/ParallelPlotWindow.h"
#include "fieldviews/ScatterPlotWindow.h"
#include "support/FieldViewFixture.h"

using namespace pelsid;
using namespace pelsid::test;

namespace {

/// A mix of hosts, ports and protocols, so labels and lines vary.
void fill(PacketBuffer& buffer, int count) {
    for (int i = 0; i < count; ++i) {
        Ipv4Header s;
        s.src = {std::uint8_t(10 + i % 200), std::uint8_t(i * 7), std::uint8_t(i), 1};
        s.dstPort = 1 + (i * 37) % 65000;
        s.protocol = i % 3 == 0 ? 17 : 6;
        s.length = 60 + (i * 13) % 1400;
        s.ttl = 32 + i % 200;
        store(buffer, ipv4Frame(s));
    }
}

constexpr int kPackets = 1000;

template <class Window>
void run(benchmark::State& state, Window& w, FieldViewFixture& f) {
    int n = 0;
    for (auto _ : state) {
        const PlayedPacket p = f.packet(1 + n++ % kPackets);
        w.renderer().plot(p);
        w.renderer().plotThumbnail(p);
    }
    state.SetItemsProcessed(state.iterations());
}

void BM_ParallelPlot(benchmark::State& state) {
    FieldViewFixture f;
    fill(f.buffer, kPackets);
    ParallelPlotWindow w(f.context, f.axes);
    w.spnNumAxes()->setValue(int(state.range(0)));
    run(state, w, f);
}
BENCHMARK(BM_ParallelPlot)->Arg(2)->Arg(18)->Unit(benchmark::kMicrosecond);

void BM_ScatterPlot(benchmark::State& state) {
    FieldViewFixture f;
    fill(f.buffer, kPackets);
    ScatterPlotWindow w(f.context, f.axes);
    run(state, w, f);
}
BENCHMARK(BM_ScatterPlot)->Unit(benchmark::kMicrosecond);

void BM_Combined(benchmark::State& state) {
    FieldViewFixture f;
    fill(f.buffer, kPackets);
    CombinedWindow w(f.context, f.axes);
    w.spnBuckets()->setValue(int(state.range(0)));
    run(state, w, f);
}
BENCHMARK(BM_Combined)->Arg(1)->Arg(5)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
