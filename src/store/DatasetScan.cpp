#include "store/DatasetScan.h"

#include <algorithm>
#include <cstring>
#include <functional>

#include "store/LoadMessages.h"
#include "store/PacketBuffer.h"

namespace pelsid {

namespace {
constexpr std::size_t kMagicLength = sizeof kDatasetMagic - 1;
constexpr std::size_t kDelimiterLength = sizeof kRecordDelimiter - 1;
}  // namespace

bool hasDatasetMagic(std::span<const std::uint8_t> fileBytes) {
    return fileBytes.size() >= kMagicLength &&
           std::memcmp(fileBytes.data(), kDatasetMagic, kMagicLength) == 0;
}

RecordSet scanDataset(std::span<const std::uint8_t> fileBytes) {
    RecordSet set;
    if (!hasDatasetMagic(fileBytes)) {
        set.problems.push_back(notPelsidProblem());
        return set;
    }
    const auto* delimiter = reinterpret_cast<const std::uint8_t*>(kRecordDelimiter);
    const std::boyer_moore_horspool_searcher searcher(delimiter, delimiter + kDelimiterLength);
    const std::uint8_t* const begin = fileBytes.data();
    const std::uint8_t* const end = begin + fileBytes.size();

    const std::uint8_t* recordStart = begin + kMagicLength;
    const std::uint8_t* from = recordStart;
    while (true) {
        const std::uint8_t* found = std::search(from, end, searcher);
        if (found == end) break;  // bytes after the last delimiter are no record
        if (found == recordStart) {
            // No packet byte before it: not a record end, its bytes begin the record.
            from = found + 1;
            continue;
        }
        if (set.records.size() == std::size_t(PacketBuffer::kSlots)) {
            set.exceeded = true;
            set.problems.push_back(exceededProblem());
            break;
        }
        std::size_t length = std::size_t(found - recordStart);
        if (length > std::size_t(PacketBuffer::kSlotBytes)) {
            length = PacketBuffer::kSlotBytes;
            ++set.cutCount;
        }
        const std::uint64_t fileEnd = std::uint64_t(found - begin) + kDelimiterLength;
        set.records.push_back({std::size_t(recordStart - begin), std::uint32_t(length), fileEnd});
        recordStart = found + kDelimiterLength;
        from = recordStart;
    }
    if (set.cutCount > 0) set.problems.push_back(cutProblem(set.cutCount));
    return set;
}

}  // namespace pelsid
