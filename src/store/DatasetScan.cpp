#include "store/DatasetScan.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "store/FrameIntake.h"
#include "store/LoadMessages.h"
#include "store/PacketBuffer.h"

namespace pelsid {

namespace {
constexpr std::size_t kMagicLength = sizeof kDatasetMagic - 1;
constexpr std::size_t kDelimiterLength = sizeof kRecordDelimiter - 1;
constexpr std::size_t kTail = kDelimiterLength - 1;  // bytes a delimiter may reach back
constexpr std::size_t kSlotBytes = std::size_t(PacketBuffer::kSlotBytes);
}  // namespace

bool hasDatasetMagic(std::span<const std::uint8_t> fileBytes) {
    return fileBytes.size() >= kMagicLength &&
           std::memcmp(fileBytes.data(), kDatasetMagic, kMagicLength) == 0;
}

void readDataset(ByteInput& input, FrameIntake& intake) {
    std::vector<std::uint8_t> head;  // the current record's first bytes, up to a slot
    head.reserve(kSlotBytes);
    std::uint8_t tail[kTail] = {};   // its last bytes, for a delimiter split between pieces
    std::uint64_t recordLength = 0;  // bytes of the current record in earlier pieces
    std::uint64_t recordStart = input.position();
    while (!input.cancelled()) {
        const std::uint64_t pieceAt = input.position();
        const std::span<const std::uint8_t> piece = input.nextPiece();
        if (piece.empty()) return;  // bytes after the last delimiter are no record
        const std::uint8_t* const p = piece.data();
        const std::size_t n = piece.size();
        std::size_t start = 0;  // where the current record's bytes in this piece begin
        std::size_t from = 0;
        // A record ends at a '>' that completes the delimiter with at least
        // one packet byte before it; memchr finds the candidates quickly.
        while (from < n) {
            const auto* close =
                static_cast<const std::uint8_t*>(std::memchr(p + from, '>', n - from));
            if (!close) break;
            const std::size_t at = std::size_t(close - p);
            from = at + 1;
            const std::uint64_t w = recordLength + (at - start) + 1;  // record bytes up to '>'
            if (w <= kDelimiterLength) continue;
            bool match;
            if (at - start >= kTail) {
                match = std::memcmp(close - kTail, kRecordDelimiter, kDelimiterLength) == 0;
            } else {
                match = true;
                for (std::size_t k = 0; k < kDelimiterLength && match; ++k) {
                    const std::uint64_t pos = w - kDelimiterLength + k;
                    const std::uint8_t b = pos >= recordLength
                                               ? p[start + std::size_t(pos - recordLength)]
                                               : tail[kTail - std::size_t(recordLength - pos)];
                    match = b == std::uint8_t(kRecordDelimiter[k]);
                }
            }
            if (!match) continue;
            const std::uint64_t length = w - kDelimiterLength;
            const std::size_t keep = std::size_t(std::min<std::uint64_t>(length, kSlotBytes));
            const std::uint8_t* bytes = p + start;
            if (recordLength > 0) {
                if (head.size() < keep)
                    head.insert(head.end(), p + start, p + start + (keep - head.size()));
                bytes = head.data();
            }
            if (!intake.offer(kLinkEthernet, bytes, keep, length, length, recordStart,
                              pieceAt + at + 1))
                return;
            recordLength = 0;
            head.clear();
            start = at + 1;
            recordStart = pieceAt + start;
        }
        // The rest of the piece belongs to the current record.
        const std::size_t rest = n - start;
        if (head.size() < kSlotBytes)
            head.insert(head.end(), p + start,
                        p + start + std::min(rest, kSlotBytes - head.size()));
        if (rest >= kTail) {
            std::memcpy(tail, p + n - kTail, kTail);
        } else {
            std::memmove(tail, tail + rest, kTail - rest);
            std::memcpy(tail + kTail - rest, p + start, rest);
        }
        recordLength += rest;
    }
}

RecordSet scanDataset(std::span<const std::uint8_t> fileBytes, std::size_t pieceSize) {
    RecordSet set;
    if (!hasDatasetMagic(fileBytes)) {
        set.problems.push_back(notPelsidProblem());
        return set;
    }
    ByteInput input(fileBytes, pieceSize);
    input.skip(kMagicLength);
    ReadOptions options;
    FrameIntake intake(
        options, set,
        [&](std::span<const std::uint8_t> frame, std::uint64_t offset, std::uint64_t end,
            std::uint32_t wire, const CaptureTime& time, std::uint32_t, std::uint64_t number) {
            set.records.push_back(
                {std::size_t(offset), std::uint32_t(frame.size()), end, wire, time, 1, number});
        },
        nullptr);
    readDataset(input, intake);
    intake.finish({});
    set.frames = intake.frames();
    set.bytesRead = input.bytesRead();
    return set;
}

}  // namespace pelsid
