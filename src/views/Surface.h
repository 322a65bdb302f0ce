#pragma once
#include <QImage>
#include <QString>
#include <cstdint>
#include <string_view>

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
        if (unsigned(x) < unsigned(w_) && unsigned(y) < unsigned(h_)) row(y)[x] = qrgb(color);
    }
    std::uint32_t pixel(int x, int y) const;
    /// Line from (x0, y0) towards (x1, y1); the end point itself is not drawn.
    void line(int x0, int y0, int x1, int y1, std::uint32_t color);
    /// Pixels x0 .. x1 - 1 of row y.
    void hline(int x0, int x1, int y, std::uint32_t color);
    /// The full row y in the background colour.
    void eraseRow(int y) { hline(0, w_, y, back_); }
    /// Text with its top-left corner at (x, y).
    void text(int x, int y, std::string_view text, std::uint32_t color, const GlyphFont& font);

    /// Source copy of a w x h block of `src` at (sx, sy) to (dx, dy); clipped on
    /// both sides, negative destinations allowed, `src` may be this surface.
    void blit(const Surface& src, int sx, int sy, int w, int h, int dx, int dy);
    void scrollDown();

    /// Pixel row y (0 <= y < height) as 0xAARRGGBB values.
    QRgb* row(int y) { return reinterpret_cast<QRgb*>(img_.scanLine(physical(y))); }
    const QRgb* row(int y) const {
        return reinterpret_cast<const QRgb*>(img_.constScanLine(physical(y)));
    }

    /// The picture with its rows in order.
    QImage image() const;
    void paint(QPainter& painter, int x, int y) const;
    /// Writes a Windows bitmap; false with the reason in `error` on failure.
    bool saveBitmap(const QString& path, QString* error) const;

    /// Grows with every change, so a widget knows when to repaint.
    std::uint64_t revision() const { return revision_; }
    void touch() { ++revision_; }

    static QRgb qrgb(std::uint32_t color);

  private:
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
};

}  // namespace pelsid
