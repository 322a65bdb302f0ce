#pragma once
#include <string>
#include <vector>

#include "TrafficGenerator.h"

namespace gensample {

/// Writes frames as a pelsid dataset (magic, then each frame followed by the
/// record delimiter) or as a classic little-endian pcap with microsecond
/// times. Returns false and sets `error` when the file cannot be written.
bool writeDataset(const std::string& path, const std::vector<Frame>& frames, std::string& error);
bool writePcap(const std::string& path, const std::vector<Frame>& frames, std::string& error);

}  // namespace gensample
