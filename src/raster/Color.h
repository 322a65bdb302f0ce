#pragma once
#include <QRgb>
#include <cstdint>

#include "pipeline/Rgb.h"

namespace pelsid {

/// The only place where the program's colour integers (see rgb) meet Qt's.
inline QRgb toQRgb(std::uint32_t c) {
    return 0xFF000000u | ((c & 0xFFu) << 16) | (c & 0xFF00u) | ((c >> 16) & 0xFFu);
}
inline std::uint32_t fromQRgb(QRgb q) {
    return ((q >> 16) & 0xFFu) | (q & 0xFF00u) | ((q & 0xFFu) << 16);
}

}  // namespace pelsid
