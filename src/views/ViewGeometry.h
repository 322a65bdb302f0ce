#pragma once

namespace pelsid {

/// Sizes the view windows share, in pixels (15 twips each).
inline constexpr int kMinWindowWidth = 133;   // 2000 twips
inline constexpr int kMinWindowHeight = 200;  // 3000 twips
/// The strip of controls below a resizable picture (1100 twips).
inline constexpr int kStripHeight = 73;

}  // namespace pelsid
