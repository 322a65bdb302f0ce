#pragma once
#include <QString>
#include <cstdint>

#include "store/CaptureTime.h"

namespace pelsid {

/// The detail view's character text: bytes 33..126 as themselves, every
/// other byte (the space too) as ".".
QString detailCharacters(const std::uint8_t* bytes, int length);
/// The detail view's dump: two upper-case hex digits and two spaces a byte.
QString detailHex(const std::uint8_t* bytes, int length);
/// The line that says when the packet was captured: UTC date and time with
/// the capture's own decimals, or that the time is unknown.
QString detailTime(const CaptureTime& time);

}  // namespace pelsid
