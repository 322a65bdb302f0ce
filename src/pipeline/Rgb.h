#pragma once
#include <cstdint>

namespace pelsid {

/// Colours are kept as red + 256 * green + 65536 * blue (red in the low
/// byte), the form the rest of the program speaks.
inline constexpr std::uint32_t rgb(int r, int g, int b) {
    return std::uint32_t(r & 255) | (std::uint32_t(g & 255) << 8) | (std::uint32_t(b & 255) << 16);
}

}  // namespace pelsid
