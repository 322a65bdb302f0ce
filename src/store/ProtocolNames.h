#pragma once
#include <string_view>

namespace pelsid {

/// Keyword of an IP protocol number from the built-in IANA-derived table;
/// empty for numbers outside 0..255.
std::string_view protocolName(int protocol);

}  // namespace pelsid
