// Per-packet cost of the byte-content views for 1518-byte frames: plot and
// plotThumbnail as the pipeline calls them, at each window's default size.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QComboBox>
#include <QRadioButton>
#include <array>
#include <memory>
#include <random>

#include "pipeline/FilterModel.h"
#include "pipeline/Pipeline.h"
#include "store/PacketBuffer.h"
#include "views/BinaryRainfallWindow.h"
#include "views/ByteFrequencyWindow.h"
#include "views/DetailWindow.h"
#include "views/Thumbnails.h"

using namespace pelsid;

namespace {

constexpr int kLength = 1518;
constexpr int kPackets = 64;

/// A buffer of TCP and UDP frames with random payloads.
struct Traffic {
    PacketBuffer buffer;
    FilterModel filters;
    Thumbnails thumbnails;
    ViewContext context{thumbnails};
    std::array<std::array<std::uint8_t, PacketBuffer::kSlotBytes>, kPackets> bytes{};
    std::array<PlayedPacket, kPackets> packets{};

    Traffic() {
        std::mt19937 rng(7);
        for (int i = 0; i < kPackets; ++i) {
            auto& b = bytes[i];
            for (int k = 0; k < kLength; ++k) b[k] = std::uint8_t(rng());
            b[12] = 0x08;
            b[13] = 0x00;
            b[14] = 0x45;
            b[23] = i % 2 ? 6 : 17;
            buffer.insertPacket({b.data(), std::size_t(kLength)});
            const int n = buffer.newestHeld();
            packets[i] = {n,
                          b.data(),
                          kLength,
                          &buffer.fields(n),
                          filters.protocolColor(buffer.getIPProtocol(n)),
                          buffer.captureTime(n)};
        }
    }
    static Traffic& get() {
        static Traffic traffic;
        return traffic;
    }
};

void play(benchmark::State& state, PacketView& view) {
    Traffic& t = Traffic::get();
    int i = 0;
    for (auto _ : state) {
        const PlayedPacket& p = t.packets[i++ % kPackets];
        view.plot(p);
        view.plotThumbnail(p);
    }
    state.SetItemsProcessed(state.iterations());
}

void binaryRainfall(benchmark::State& state) {
    BinaryRainfallWindow window(Traffic::get().context);
    window.findChild<QComboBox*>("cmbVisMode")->setCurrentIndex(int(state.range(0)));
    window.findChild<QRadioButton*>(QStringLiteral("radScroll(%1)").arg(state.range(1)))
        ->setChecked(true);
    play(state, window.renderer());
}
BENCHMARK(binaryRainfall)->ArgNames({"mode", "dynamic"})->ArgsProduct({{0, 1, 2, 3}, {0, 1}});

void byteFrequency(benchmark::State& state) {
    ByteFrequencyWindow window(Traffic::get().context);
    window.findChild<QComboBox*>("cmbVisMode")->setCurrentIndex(int(state.range(0)));
    window.findChild<QRadioButton*>(QStringLiteral("radScroll(%1)").arg(state.range(1)))
        ->setChecked(true);
    play(state, window.renderer());
}
BENCHMARK(byteFrequency)->ArgNames({"mode", "dynamic"})->ArgsProduct({{0, 1}, {0, 1}});

void detail(benchmark::State& state) {
    DetailWindow window(Traffic::get().context);
    play(state, window.renderer());
}
BENCHMARK(detail);

/// The detail view's once-per-frame cost: building and setting both texts.
void detailFrame(benchmark::State& state) {
    Traffic& t = Traffic::get();
    DetailWindow window(t.context);
    int i = 0;
    for (auto _ : state) {
        window.renderer().plot(t.packets[i++ % kPackets]);
        window.refreshText();
    }
}
BENCHMARK(detailFrame)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
