#include "fieldviews/HistoryStrip.h"

#include <algorithm>

#include "views/Color.h"

namespace pelsid {

namespace {
const QRgb kBlank = Surface::qrgb(0);
}

void HistoryStrip::resize(int width, int height) {
    w_ = std::max(1, width);
    h_ = std::max(1, height);
    cols_.assign(std::size_t(w_) * std::size_t(h_), kBlank);
    work_.assign(std::size_t(h_), kBlank);
    front_.resize(w_, h_);
    clear();
}

void HistoryStrip::clear() {
    std::fill(cols_.begin(), cols_.end(), kBlank);
    std::fill(work_.begin(), work_.end(), kBlank);
    workUsed_ = false;
    first_ = 0;
    ++revision_;
}

void HistoryStrip::blankColumn(int x) {
    QRgb* c = column(x);
    std::fill(c, c + h_, kBlank);
}

void HistoryStrip::mark(int y, std::uint32_t color) {
    if (unsigned(y) >= unsigned(h_)) return;
    work_[std::size_t(y)] = Surface::qrgb(color);
    workUsed_ = true;
}

void HistoryStrip::completeQuantum() {
    const int shift = side_ == Side::Left ? 3 : 2;
    if (shift >= w_) {
        std::fill(cols_.begin(), cols_.end(), kBlank);
    } else if (side_ == Side::Left) {
        // The leftmost columns fall away and come back blank on the right.
        first_ = (first_ + shift) % w_;
        for (int x = w_ - shift; x < w_; ++x) blankColumn(x);
    } else {
        first_ = (first_ - shift + w_) % w_;
        for (int x = 0; x < shift; ++x) blankColumn(x);
    }
    const int x = newestColumn();
    if (x >= 0 && x < w_) std::copy(work_.begin(), work_.end(), column(x));
    if (workUsed_) std::fill(work_.begin(), work_.end(), kBlank);
    workUsed_ = false;
    ++revision_;
}

std::uint32_t HistoryStrip::pixel(int x, int y) const {
    if (unsigned(x) >= unsigned(w_) || unsigned(y) >= unsigned(h_)) return 0;
    return fromQRgb(column(x)[y]);
}

const Surface& HistoryStrip::front() const {
    if (composed_ == revision_) return front_;
    composed_ = revision_;
    for (int y = 0; y < h_; ++y) {
        QRgb* row = front_.row(y);
        for (int x = 0; x < w_; ++x) row[x] = column(x)[y];
    }
    front_.touch();
    return front_;
}

}  // namespace pelsid
