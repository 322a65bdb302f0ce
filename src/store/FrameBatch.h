#pragma once
#include <cstdint>
#include <span>
#include <vector>

#include "store/RecordSet.h"

namespace pelsid {

/// Frames in one byte vector with a record of each: frame k is the
/// records[k].length bytes at records[k].offset, with its length on the
/// wire, its capture time and the rest of its RecordRef. A file read, a
/// batch of captured frames and a copy for export all hold frames so.
struct FrameBatch {
    std::vector<std::uint8_t> bytes;
    std::vector<RecordRef> records;

    int size() const { return int(records.size()); }
    std::span<const std::uint8_t> frame(int k) const {
        const RecordRef& r = records[std::size_t(k)];
        return {bytes.data() + r.offset, r.length};
    }
    /// Adds `data` as the next frame; `record` says the rest (its offset and
    /// length are set here).
    void append(std::span<const std::uint8_t> data, RecordRef record) {
        record.offset = bytes.size();
        record.length = std::uint32_t(data.size());
        records.push_back(record);
        bytes.insert(bytes.end(), data.begin(), data.end());
    }
    void clear() {
        bytes.clear();
        records.clear();
    }
};

}  // namespace pelsid
