#pragma once
#include <cstdint>
#include <span>

#include "store/ByteInput.h"
#include "store/RecordSet.h"

namespace pelsid {

class FrameIntake;

/// The dataset file's first eight bytes.
inline constexpr char kDatasetMagic[] = "<PELSID>";
/// The 16-character text that ends every record of a dataset file.
inline constexpr char kRecordDelimiter[] = "<PELSID[CR][LF]>";

/// True when `fileBytes` start with the dataset magic (case-sensitive).
bool hasDatasetMagic(std::span<const std::uint8_t> fileBytes);

/// Reads the records of a dataset whose magic `input` has passed, piece by
/// piece, and offers each to `intake` until it has enough. A record ends at
/// the first delimiter with at least one packet byte before it in the record
/// (a delimiter split between two pieces too); a delimiter with none before
/// it is no record end, its bytes begin the next record. Bytes after the last
/// delimiter are no record. Only a record's first slot of bytes is held, however
/// long it is.
void readDataset(ByteInput& input, FrameIntake& intake);

/// Splits a whole dataset file in memory into records (offsets into
/// `fileBytes`), read in pieces of `pieceSize`. A file without the magic gives
/// no records and the "not a pelsid file" warning. At most
/// PacketBuffer::kSlots records are kept; a record longer than a slot is kept
/// cut to its first PacketBuffer::kSlotBytes bytes.
RecordSet scanDataset(std::span<const std::uint8_t> fileBytes,
                      std::size_t pieceSize = ByteInput::kDefaultPieceSize);

}  // namespace pelsid
