#pragma once
#include <QImage>
#include <QString>
#include <climits>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "raster/DeferredDrawing.h"

class QPainter;

namespace pelsid {

class GlyphFont;

/// A persistent picture that views draw on, in pixels with (0, 0) at the top
/// left. Every primitive clips silently at the edges. Colours are in the
/// program's form (red in the low byte).
///
/// The rows form a ring: scrollDown() moves the whole picture down one row in
/// constant time (the bottom row falls away, row 0 becomes blank). Painting
/// and saving compose the rows in order.
///
/// Some drawing may be deferred: it is kept as a list and done in order only
/// when anything looks at or draws on the picture. A band erased over
/// deferred work drops that work, so lines that scroll away before anyone
/// sees them cost no drawing at all, and a run of sideways scrolls with dots
/// between them is done as one scroll. The pixels seen are the same either way.
///
/// A surface may keep a pick map beside its pixels: for each pixel the
/// number of the packet whose drawing last covered it (the owner set when it
/// was drawn), 0 where nothing was drawn or it was erased since. It moves with
/// the pixels through every scroll, blit and deferral, so a picture can say
/// which packet drew any mark on it.
class Surface {
  public:
    explicit Surface(int width = 1, int height = 1, std::uint32_t backColor = 0);

    int width() const { return w_; }   // ScaleWidth
    int height() const { return h_; }  // ScaleHeight
    std::uint32_t backColor() const { return back_; }
    void setBackColor(std::uint32_t color) { back_ = color; }

    /// New size, cleared to the background colour.
    void resize(int width, int height);
    void clear();

    void setPixel(int x, int y, std::uint32_t color) {
        settle();
        if (unsigned(x) < unsigned(w_) && unsigned(y) < unsigned(h_)) {
            rawRow(y)[x] = qrgb(color);
            if (picking_) rawPick(y)[x] = owner_;
        }
        touch();
    }
    std::uint32_t pixel(int x, int y) const;
    /// Line from (x0, y0) towards (x1, y1); the end point itself is not drawn.
    void line(int x0, int y0, int x1, int y1, std::uint32_t color);
    /// Pixels x0 .. x1 - 1 of row y.
    void hline(int x0, int x1, int y, std::uint32_t color);
    /// The full row y in the background colour.
    void eraseRow(int y);
    /// Rows y0 .. y1 - 1 in the background colour, deferred; deferred work
    /// lying wholly within them is dropped undrawn.
    void eraseRows(int y0, int y1);
    /// Text with its top-left corner at (x, y). In the pick map it covers the
    /// cells of its characters, gaps between strokes included.
    void text(int x, int y, std::string_view text, std::uint32_t color, const GlyphFont& font);
    /// The same text, drawn when the picture is next looked at or drawn on.
    void deferText(int x, int y, std::string_view text, std::uint32_t color, const GlyphFont& font);
    /// Deferred: the picture moves right by n columns, the n columns on the
    /// left filled with `fill`.
    void deferScrollRight(int n, std::uint32_t fill);
    /// Deferred setPixel.
    void deferPixel(int x, int y, std::uint32_t color);

    /// Source copy of a w x h block of `src` at (sx, sy) to (dx, dy); clipped on
    /// both sides, negative destinations allowed, `src` may be this surface.
    void blit(const Surface& src, int sx, int sy, int w, int h, int dx, int dy);
    void scrollDown();

    /// Pixel row y (0 <= y < height) as 0xAARRGGBB values.
    QRgb* row(int y) {
        settle();
        return rawRow(y);
    }
    const QRgb* row(int y) const {
        settle();
        return rawRow(y);
    }

    /// The picture with its rows in order.
    QImage image() const;
    void paint(QPainter& painter, int x, int y) const;
    /// Writes a Windows bitmap; false with the reason in `error` on failure.
    bool saveBitmap(const QString& path, QString* error) const;

    /// Grows with every change (whoever writes through row() calls touch()),
    /// so a widget knows when to repaint and a view when its picture changed.
    std::uint64_t revision() const { return revision_; }
    void touch() { ++revision_; }

    static QRgb qrgb(std::uint32_t color);

    /// Keeps a pick map from now on (all 0), or drops it.
    void enablePicks(bool on = true);
    bool picksEnabled() const { return picking_; }
    /// The packet that what is drawn from now on belongs to.
    void setOwner(std::uint32_t packetNumber) { owner_ = packetNumber; }
    std::uint32_t owner() const { return owner_; }
    /// The packet that last drew pixel (x, y); 0 outside, undrawn, erased,
    /// or without a pick map.
    std::uint32_t pickAt(int x, int y) const;
    /// A picture of this one's size, transparent but where packet `owner`'s
    /// drawing shows, which is `color` (faint where it left the background
    /// colour): the highlight laid over a selection.
    QImage maskOf(std::uint32_t owner, QRgb color) const;
    /// Pick row y, beside row(y), for views that write rows themselves; null
    /// without a pick map.
    std::uint32_t* pickRow(int y) {
        if (!picking_) return nullptr;
        settle();
        return rawPick(y);
    }

  private:
    using Deferred = DeferredDrawing::Work;
    Deferred& defer(Deferred::Kind kind, int x, int y, int bottom, std::uint32_t color);
    /// Does the scrolls and dots of deferred work [first, end) as one scroll.
    void scrollRightWithDots(int first, int end) const;

    /// Draws the deferred work; every access to the pixels goes through it.
    void settle() const {
        if (deferred_.count() > 0) drawDeferred();
    }
    void drawDeferred() const;
    // Drawing writes pixels and picks, not members: settling a picture that
    // is only looked at (const) draws too.
    void drawText(int x, int y, std::string_view text, QRgb color, const GlyphFont& font,
                  std::uint32_t owner) const;
    /// Pixels x0 .. x1 - 1 of row y (clipped) in colour c, owned by `owner`.
    void fill(int x0, int x1, int y, QRgb c, std::uint32_t owner) const;
    void dropDeferred() { deferred_.clear(); }
    QRgb* rawRow(int y) const {
        return reinterpret_cast<QRgb*>(bits_ + std::size_t(physical(y)) * bpl_);
    }
    std::uint32_t* rawPick(int y) const {
        return picks_.data() + std::size_t(physical(y)) * (bpl_ / sizeof(QRgb));
    }
    int physical(int y) const {
        const int p = y + top_;
        return p >= h_ ? p - h_ : p;
    }

    QImage img_;  // never shared: rows are written through bits_
    uchar* bits_ = nullptr;
    std::size_t bpl_ = 0;
    int w_ = 1;
    int h_ = 1;
    int top_ = 0;  // physical row of logical row 0
    std::uint32_t back_ = 0;
    std::uint64_t revision_ = 0;
    // The pick map, laid out as the pixels are (same stride, same ring), when
    // picking_. Like the pixels behind bits_, it changes when deferred work is
    // drawn for someone who only looks.
    mutable std::vector<std::uint32_t> picks_;
    bool picking_ = false;
    std::uint32_t owner_ = 0;
    // Drawing put off until someone looks; drawn (and emptied) by settle().
    mutable DeferredDrawing deferred_;
};

}  // namespace pelsid
