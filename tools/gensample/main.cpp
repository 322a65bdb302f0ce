// gensample: makes the bundled sample traffic, the same bytes at every run.
//   gensample [--count N] [--seed S] [--dataset OUT.pelsid] [--pcap OUT.pcap]
#include <cstdlib>
#include <iostream>
#include <string>

#include "SampleWriter.h"
#include "TrafficGenerator.h"

namespace {
constexpr const char* kUsage =
    "usage: gensample [--count N] [--seed S] [--dataset OUT.pelsid] [--pcap OUT.pcap]\n";
}

int main(int argc, char** argv) {
    int count = 3000;
    std::uint64_t seed = 19;
    std::string datasetPath, pcapPath;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (i + 1 >= argc) {
            std::cerr << kUsage;
            return 2;
        }
        const std::string value = argv[++i];
        if (arg == "--count")
            count = std::atoi(value.c_str());
        else if (arg == "--seed")
            seed = std::strtoull(value.c_str(), nullptr, 10);
        else if (arg == "--dataset")
            datasetPath = value;
        else if (arg == "--pcap")
            pcapPath = value;
        else {
            std::cerr << kUsage;
            return 2;
        }
    }
    if (count <= 0 || (datasetPath.empty() && pcapPath.empty())) {
        std::cerr << kUsage;
        return 2;
    }
    const auto frames = gensample::TrafficGenerator(seed, count).run();
    std::string error;
    if ((!datasetPath.empty() && !gensample::writeDataset(datasetPath, frames, error)) ||
        (!pcapPath.empty() && !gensample::writePcap(pcapPath, frames, error))) {
        std::cerr << "gensample: " << error << '\n';
        return 1;
    }
    return 0;
}
