#pragma once
#include <QString>
#include <cstdint>

namespace pelsid {

/// The detail view's character text: bytes 33..126 as themselves, every
/// other byte (the space too) as ".".
QString detailCharacters(const std::uint8_t* bytes, int length);
/// The detail view's dump: two upper-case hex digits and two spaces a byte.
QString detailHex(const std::uint8_t* bytes, int length);

}  // namespace pelsid
