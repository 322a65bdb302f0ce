#include "store/DatasetScan.h"

#include <cstring>

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
    const std::uint8_t* const begin = fileBytes.data();
    const std::uint8_t* const end = begin + fileBytes.size();

    // A record ends at a '>' that completes the delimiter with at least one
    // packet byte before it; memchr finds the candidates quickly.
    const std::uint8_t* recordStart = begin + kMagicLength;
    const std::uint8_t* from = recordStart;
    while (from < end) {
        const auto* close =
            static_cast<const std::uint8_t*>(std::memchr(from, '>', std::size_t(end - from)));
        if (!close) break;  // bytes after the last delimiter are no record
        from = close + 1;
        if (std::size_t(close - recordStart) < kDelimiterLength) continue;
        const std::uint8_t* delimiter = close + 1 - kDelimiterLength;
        if (std::memcmp(delimiter, kRecordDelimiter, kDelimiterLength) != 0) continue;
        if (set.records.size() == std::size_t(PacketBuffer::kSlots)) {
            set.exceeded = true;
            set.problems.push_back(exceededProblem());
            break;
        }
        std::size_t length = std::size_t(delimiter - recordStart);
        if (length > std::size_t(PacketBuffer::kSlotBytes)) {
            length = PacketBuffer::kSlotBytes;
            ++set.cutCount;
        }
        set.records.push_back(
            {std::size_t(recordStart - begin), std::uint32_t(length), std::uint64_t(from - begin)});
        recordStart = from;
    }
    if (set.cutCount > 0) set.problems.push_back(cutProblem(set.cutCount));
    return set;
}

}  // namespace pelsid
