// Loading a capture file into the packet buffer: read, scan, insert, decode.
//   bench_load [benchmark flags] FILE...
#include <benchmark/benchmark.h>

#include <iostream>
#include <memory>
#include <string>

#include "store/CaptureFile.h"
#include "store/PacketBuffer.h"

using pelsid::PacketBuffer;

namespace {
void loadFile(benchmark::State& state, const std::string& path, PacketBuffer* buffer) {
    std::int64_t packets = 0, bytes = 0;
    for (auto _ : state) {
        const pelsid::CaptureFile file = pelsid::readCaptureFile(path);
        packets += file.insertInto(*buffer);
        bytes += std::int64_t(file.fileSize());
        benchmark::DoNotOptimize(buffer->getIPChecksum(buffer->newestHeld()));
    }
    state.SetItemsProcessed(packets);
    state.SetBytesProcessed(bytes);
}

void readOnly(benchmark::State& state, const std::string& path) {
    for (auto _ : state) benchmark::DoNotOptimize(pelsid::readCaptureFile(path).recordCount());
}
}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (argc < 2) {
        std::cerr << "usage: bench_load [benchmark flags] FILE...\n";
        return 2;
    }
    // One buffer for every run, as in the program: storage is allocated once.
    auto buffer = std::make_unique<PacketBuffer>();
    for (int i = 1; i < argc; ++i) {
        const std::string path = argv[i];
        benchmark::RegisterBenchmark(("load/" + path).c_str(), loadFile, path, buffer.get())
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime();
        benchmark::RegisterBenchmark(("read_scan/" + path).c_str(), readOnly, path)
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime();
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
