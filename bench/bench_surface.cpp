// Cost of the drawing primitives the header-field views spend most on:
// lines of each steepness across a 600 x 400 picture, and shadowed labels.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "fieldviews/ShadowLabels.h"
#include "raster/GlyphFont.h"
#include "raster/Surface.h"

using namespace pelsid;

namespace {

struct Segment {
    int x0, y0, x1, y1;
};

/// Lines from the left edge to the right one whose rise is up to `maxRise`
/// pixels, or (vertical) from the top edge to the bottom one.
std::vector<Segment> segments(int maxRise, bool vertical) {
    std::mt19937 random(7);
    std::vector<Segment> s;
    for (int i = 0; i < 1024; ++i) {
        const int a = int(random() % 400), rise = int(random() % unsigned(maxRise + 1));
        const int b = std::clamp(a + (i % 2 ? rise : -rise), 0, 399);
        s.push_back(vertical ? Segment{a / 2, 0, b / 2, 400} : Segment{0, a, 600, b});
    }
    return s;
}

void lines(benchmark::State& state) {
    Surface picture(600, 400);
    const auto s = segments(int(state.range(0)), state.range(1) != 0);
    std::size_t i = 0, pixels = 0;
    for (auto _ : state) {
        const Segment& l = s[i++ % s.size()];
        picture.line(l.x0, l.y0, l.x1, l.y1, 0x00ff00);
        pixels += std::size_t(std::max(std::abs(l.x1 - l.x0), std::abs(l.y1 - l.y0)));
    }
    state.SetItemsProcessed(std::int64_t(pixels));  // items: pixels
}
BENCHMARK(lines)
    ->ArgNames({"rise", "vertical"})
    ->Args({20, 0})
    ->Args({100, 0})
    ->Args({400, 0})
    ->Args({200, 1});

void shadowedLabels(benchmark::State& state) {
    Surface picture(600, 400);
    const GlyphFont& font = GlyphFont::label();
    const std::string a = "192.168.100.20", b = "48000";
    int y = 0;
    for (auto _ : state) {
        y = (y + 37) % 390;
        drawShadowedLabels(picture, {{0, y, a}, {560, 390 - y, b}}, font);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(shadowedLabels);

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication qt(argc, argv);  // the label face comes from Qt's fonts
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
