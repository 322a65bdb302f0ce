#pragma once
#include <array>

#include "views/Surface.h"

namespace pelsid {

/// The six thumbnail pictures of the main window (picVis(1)..picVis(6)) and
/// the combined view's work surface picVis6Back. They outlive every window:
/// the views keep drawing on them while their own windows are hidden or gone.
struct Thumbnails {
    static constexpr int kWidth = 81;
    static constexpr int kHeight = 57;

    Thumbnails() {
        for (auto& s : picVis) s.resize(kWidth, kHeight);
        picVis6Back.resize(kWidth, kHeight);
    }
    /// n = 1..6, as the main window numbers them.
    Surface& vis(int n) { return picVis[n - 1]; }
    bool& bordered(int n) { return border[n - 1]; }

    std::array<Surface, 6> picVis;
    Surface picVis6Back;
    std::array<bool, 6> border{};  // single-line border (true) or none
};

}  // namespace pelsid
