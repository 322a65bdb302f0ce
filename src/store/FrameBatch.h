#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "store/CaptureTime.h"

namespace pelsid {

/// Frames taken together, one after another: frame k is
/// bytes[offsets[k] .. offsets[k + 1]), wireLengths[k] long on the wire,
/// captured at times[k].
struct FrameBatch {
    std::vector<std::uint8_t> bytes;
    std::vector<std::size_t> offsets{0};
    std::vector<std::uint32_t> wireLengths;
    std::vector<CaptureTime> times;

    int size() const { return int(offsets.size()) - 1; }
    const std::uint8_t* data(int k) const { return bytes.data() + offsets[std::size_t(k)]; }
    int length(int k) const { return int(offsets[std::size_t(k) + 1] - offsets[std::size_t(k)]); }
    void append(const std::uint8_t* data, int size, std::uint32_t wireLength,
                const CaptureTime& time) {
        if (size > 0) bytes.insert(bytes.end(), data, data + size);
        offsets.push_back(bytes.size());
        wireLengths.push_back(wireLength);
        times.push_back(time);
    }
    void clear() {
        bytes.clear();
        offsets.assign(1, 0);
        wireLengths.clear();
        times.clear();
    }
};

}  // namespace pelsid
