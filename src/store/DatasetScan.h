#pragma once
#include <cstdint>
#include <span>

#include "store/RecordSet.h"

namespace pelsid {

/// The dataset file's first eight bytes.
inline constexpr char kDatasetMagic[] = "<PELSID>";
/// The 16-character text that ends every record of a dataset file.
inline constexpr char kRecordDelimiter[] = "<PELSID[CR][LF]>";

/// True when `fileBytes` start with the dataset magic (case-sensitive).
bool hasDatasetMagic(std::span<const std::uint8_t> fileBytes);

/// Splits a whole dataset file into records without copying them. A file
/// without the magic gives no records and the "not a pelsid file" warning.
/// A delimiter with no packet byte before it in the current record is not a
/// record end: its bytes begin the next record. Bytes after the last delimiter
/// are ignored. At most PacketBuffer::kSlots records are kept; a record longer
/// than a slot is kept cut to its first PacketBuffer::kSlotBytes bytes.
RecordSet scanDataset(std::span<const std::uint8_t> fileBytes);

}  // namespace pelsid
