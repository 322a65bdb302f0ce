#pragma once
#include <cstdint>
#include <utility>
#include <vector>

#include "raster/Surface.h"

namespace pelsid {

/// One history strip of the combined view: columns of dots, one column per
/// completed quantum, the newest next to the strip's inner edge and older
/// ones moving outward.
///
/// The dots of the quantum being collected wait in a work column (all that
/// the strip's work surface ever holds besides a shifted copy of the
/// strip). A column is kept as its dots, in the order drawn, and the columns
/// form a ring, so a shift costs nothing per pixel; the visible picture is
/// composed into `front()` when someone looks at it.
class HistoryStrip {
  public:
    /// Left: newest column at width - 2, history moves left by 3 pixels per
    /// quantum. Right: newest column at 1, history moves right by 2 pixels.
    enum class Side { Left, Right };

    explicit HistoryStrip(Side side) : side_(side) {
        front_.enablePicks();
        resize(1, 1);
    }

    /// New size, everything blank.
    void resize(int width, int height);
    /// Blanks the strip and the work column.
    void clear();
    int width() const { return w_; }
    int height() const { return h_; }
    /// x of the newest column.
    int newestColumn() const { return side_ == Side::Left ? w_ - 2 : 1; }

    /// A dot of the quantum being collected, in the work column, drawn by
    /// packet `owner`.
    void mark(int y, std::uint32_t color, std::uint32_t owner = 0);
    /// The quantum is complete: the history moves outward and the work
    /// column becomes the newest column; the work column starts blank.
    void completeQuantum();

    std::uint32_t pixel(int x, int y) const;
    /// The packet whose dot shows at (x, y), 0 for none.
    std::uint32_t pickAt(int x, int y) const;
    /// The strip as a picture, with its pick map, composed if it changed since the last call.
    const Surface& front() const;
    /// The same picture, for a widget that shows it.
    Surface& front() {
        std::as_const(*this).front();
        return front_;
    }

  private:
    struct Dot {
        int y;
        QRgb color;
        std::uint32_t owner;
    };
    /// The dot seen at (x, y), null for none.
    const Dot* dotAt(int x, int y) const;
    using Column = std::vector<Dot>;  // cleared, never shrunk: no allocation once warm

    Column& column(int x) { return cols_[std::size_t(physical(x))]; }
    const Column& column(int x) const { return cols_[std::size_t(physical(x))]; }
    int physical(int x) const {
        const int p = x + first_;
        return p >= w_ ? p - w_ : p;
    }

    Side side_;
    int w_ = 1;
    int h_ = 1;
    int first_ = 0;             // physical column of visible column 0
    std::vector<Column> cols_;  // w_ columns
    Column work_;               // the quantum being collected
    mutable Surface front_;
    std::uint64_t revision_ = 0;
    mutable std::uint64_t composed_ = ~std::uint64_t(0);
};

}  // namespace pelsid
