#include "raster/DeferredDrawing.h"

#include <utility>

namespace pelsid {

DeferredDrawing::Work& DeferredDrawing::add(Work::Kind kind, int x, int y, int bottom,
                                            std::uint32_t color, std::uint32_t owner) {
    if (std::size_t(count_) == work_.size()) {
        work_.emplace_back();
        bands_.emplace_back();
    }
    bands_[std::size_t(count_)] = {y, bottom};
    Work& w = work_[std::size_t(count_++)];
    w.kind = kind;
    w.x = x;
    w.y = y;
    w.bottom = bottom;
    w.color = color;
    w.owner = owner;
    return w;
}

void DeferredDrawing::dropWithin(int y0, int y1) {
    for (int i = 0; i < count_; ++i) {
        Band& b = bands_[std::size_t(i)];
        if (b.y >= y0 && b.bottom <= y1) {
            b = {INT_MAX, INT_MIN};
            ++dead_;
        }
    }
    if (dead_ * 2 > count_) compact();
}

void DeferredDrawing::compact() {
    int kept = 0;
    for (int i = 0; i < count_; ++i) {
        if (!live(i)) continue;
        if (i != kept) {
            std::swap(work_[std::size_t(i)], work_[std::size_t(kept)]);
            bands_[std::size_t(kept)] = bands_[std::size_t(i)];
        }
        ++kept;
    }
    count_ = kept;
    dead_ = 0;
}

}  // namespace pelsid
