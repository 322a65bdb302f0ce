#pragma once
#include <cmath>

namespace pelsid {

/// Window units (twips, 15 to the pixel) to pixels, halves to even.
inline int twipsToPixels(double twips) {
    return int(std::nearbyint(twips / 15.0));
}

/// Sizes the view windows share, in pixels (15 twips each).
inline constexpr int kMinWindowWidth = 133;   // 2000 twips
inline constexpr int kMinWindowHeight = 200;  // 3000 twips
/// The strip of controls below a resizable picture (1100 twips).
inline constexpr int kStripHeight = 73;

}  // namespace pelsid
