// The display filter's and colour rules' decision per packet: libpcap's
// compiled filter run on stored frames of the sample data.
#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "pipeline/FilterModel.h"
#include "store/CaptureFile.h"
#include "store/PacketBuffer.h"
#include "store/PacketMatcher.h"

namespace {
std::vector<std::vector<std::uint8_t>> sampleFrames() {
    const pelsid::CaptureFile file =
        pelsid::readCaptureFile(PELSID_SOURCE_DIR "/data/sample.pelsid");
    std::vector<std::vector<std::uint8_t>> frames;
    for (int i = 0; i < file.recordCount(); ++i) {
        const auto r = file.record(i);
        frames.emplace_back(r.begin(), r.end());
    }
    return frames;
}

std::shared_ptr<const pelsid::PacketMatcher> compile(const char* expression) {
    std::string error;
    return pelsid::PacketMatcher::compile(expression, &error);
}

void DisplayFilter(benchmark::State& state) {
    const auto frames = sampleFrames();
    const auto m = compile("tcp port 80 or udp port 53");
    std::int64_t n = 0, shown = 0;
    for (auto _ : state)
        for (const auto& f : frames) shown += m->matches(f), ++n;
    benchmark::DoNotOptimize(shown);
    state.SetItemsProcessed(n);
}
BENCHMARK(DisplayFilter);

// Five rules, first match wins; most packets match none and try all five.
void FiveColourRules(benchmark::State& state) {
    const auto frames = sampleFrames();
    const std::shared_ptr<const pelsid::PacketMatcher> rules[] = {
        compile("host 10.99.0.1"), compile("tcp[tcpflags] & tcp-syn != 0"), compile("arp"),
        compile("udp port 123"), compile("ip6")};
    std::int64_t n = 0, coloured = 0;
    for (auto _ : state)
        for (const auto& f : frames) {
            for (const auto& r : rules)
                if (r->matches(f)) {
                    ++coloured;
                    break;
                }
            ++n;
        }
    benchmark::DoNotOptimize(coloured);
    state.SetItemsProcessed(n);
}
BENCHMARK(FiveColourRules);
// The pipeline's own questions, as it asks them of every played packet: the
// stored frame and its protocol from the buffer.
struct StoredSample {
    pelsid::PacketBuffer buffer;
    int count = 0;
    StoredSample() {
        count = pelsid::readCaptureFile(PELSID_SOURCE_DIR "/data/sample.pelsid").insertInto(buffer);
    }
};

void ModelHides(benchmark::State& state) {
    const StoredSample sample;
    pelsid::FilterModel model;
    std::string error;
    if (state.range(0)) model.setDisplayFilter("tcp port 80 or udp port 53", &error);
    std::int64_t n = 0, hidden = 0;
    for (auto _ : state)
        for (int p = 1; p <= sample.count; ++p, ++n)
            hidden += model.hides(sample.buffer.getIPProtocol(p), sample.buffer.frame(p));
    benchmark::DoNotOptimize(hidden);
    state.SetItemsProcessed(n);
}
BENCHMARK(ModelHides)->Arg(0)->Arg(1)->ArgName("expression");

void ModelColorOf(benchmark::State& state) {
    const StoredSample sample;
    pelsid::FilterModel model;
    std::string error;
    const char* rules[] = {"host 10.99.0.1", "tcp[tcpflags] & tcp-syn != 0", "arp", "udp port 123",
                           "ip6"};
    for (int i = 0; i < state.range(0); ++i) model.addColorRule(rules[i], std::uint32_t(i), &error);
    std::int64_t n = 0;
    std::uint32_t sum = 0;
    for (auto _ : state)
        for (int p = 1; p <= sample.count; ++p, ++n)
            sum += model.colorOf(sample.buffer.getIPProtocol(p), sample.buffer.frame(p));
    benchmark::DoNotOptimize(sum);
    state.SetItemsProcessed(n);
}
BENCHMARK(ModelColorOf)->Arg(0)->Arg(5)->ArgName("rules");
}  // namespace

BENCHMARK_MAIN();
