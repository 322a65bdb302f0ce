#include "fieldviews/HistoryStrip.h"

#include <algorithm>

#include "raster/Color.h"

namespace pelsid {

void HistoryStrip::resize(int width, int height) {
    w_ = std::max(1, width);
    h_ = std::max(1, height);
    cols_.assign(std::size_t(w_), Column{});
    front_.resize(w_, h_);
    clear();
}

void HistoryStrip::clear() {
    for (Column& c : cols_) c.clear();
    work_.clear();
    first_ = 0;
    ++revision_;
}

void HistoryStrip::mark(int y, std::uint32_t color, std::uint32_t owner) {
    if (unsigned(y) >= unsigned(h_)) return;
    work_.push_back({y, Surface::qrgb(color), owner});
}

void HistoryStrip::completeQuantum() {
    const int shift = side_ == Side::Left ? 3 : 2;
    if (shift >= w_) {
        for (Column& c : cols_) c.clear();
    } else if (side_ == Side::Left) {
        // The leftmost columns fall away and come back blank on the right.
        first_ = (first_ + shift) % w_;
        for (int x = w_ - shift; x < w_; ++x) column(x).clear();
    } else {
        first_ = (first_ - shift + w_) % w_;
        for (int x = 0; x < shift; ++x) column(x).clear();
    }
    // The newest column is one of those just blanked: it takes the work
    // column's dots, and the work column its empty storage.
    const int x = newestColumn();
    if (x >= 0 && x < w_) column(x).swap(work_);
    work_.clear();
    ++revision_;
}

const HistoryStrip::Dot* HistoryStrip::dotAt(int x, int y) const {
    if (unsigned(x) >= unsigned(w_) || unsigned(y) >= unsigned(h_)) return nullptr;
    const Column& c = column(x);
    // The last dot drawn on a pixel is the one seen.
    for (auto it = c.rbegin(); it != c.rend(); ++it)
        if (it->y == y) return &*it;
    return nullptr;
}

std::uint32_t HistoryStrip::pixel(int x, int y) const {
    const Dot* d = dotAt(x, y);
    return d ? fromQRgb(d->color) : 0;
}

std::uint32_t HistoryStrip::pickAt(int x, int y) const {
    const Dot* d = dotAt(x, y);
    return d ? d->owner : 0;
}

const Surface& HistoryStrip::front() const {
    if (composed_ == revision_) return front_;
    composed_ = revision_;
    front_.clear();
    for (int x = 0; x < w_; ++x)
        for (const Dot& d : column(x)) {
            front_.row(d.y)[x] = d.color;
            front_.pickRow(d.y)[x] = d.owner;
        }
    front_.touch();
    return front_;
}

}  // namespace pelsid
