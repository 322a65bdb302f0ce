#pragma once
#include <QRgb>
#include <cstdint>

namespace pelsid {

/// Colours are kept as red + 256 * green + 65536 * blue (red in the low byte),
/// the form the rest of the program speaks; these two functions are the only
/// place where that form meets Qt's.
inline QRgb toQRgb(std::uint32_t c) {
    return 0xFF000000u | ((c & 0xFFu) << 16) | (c & 0xFF00u) | ((c >> 16) & 0xFFu);
}
inline std::uint32_t fromQRgb(QRgb q) {
    return ((q >> 16) & 0xFFu) | (q & 0xFF00u) | ((q & 0xFFu) << 16);
}
inline constexpr std::uint32_t rgb(int r, int g, int b) {
    return std::uint32_t(r & 255) | (std::uint32_t(g & 255) << 8) | (std::uint32_t(b & 255) << 16);
}

}  // namespace pelsid
