#pragma once
#include <array>
#include <functional>

#include "raster/Surface.h"

namespace pelsid {

/// The six thumbnail pictures of the main window (picVis(1)..picVis(6)) and
/// the combined view's work surface picVis6Back. They outlive every window:
/// the views keep drawing on them while their own windows are hidden or gone.
/// Each thumbnail's border is kept here alone; the main window shows it.
struct Thumbnails {
    static constexpr int kWidth = 81;
    static constexpr int kHeight = 57;

    Thumbnails() {
        for (auto& s : picVis) s.resize(kWidth, kHeight);
        picVis6Back.resize(kWidth, kHeight);
    }
    /// n = 1..6, as the main window numbers them.
    Surface& vis(int n) { return picVis[n - 1]; }
    /// Single-line border (true) or none.
    bool bordered(int n) const { return border_[n - 1]; }
    void setBordered(int n, bool bordered) {
        if (border_[n - 1] == bordered) return;
        border_[n - 1] = bordered;
        if (borderChanged) borderChanged(n);
    }
    /// Told the thumbnail's number after its border changed.
    std::function<void(int)> borderChanged;

    std::array<Surface, 6> picVis;
    Surface picVis6Back;

  private:
    std::array<bool, 6> border_{};
};

}  // namespace pelsid
