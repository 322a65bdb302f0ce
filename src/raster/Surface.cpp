#include "raster/Surface.h"

#include <QPainter>
#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "raster/BitmapFile.h"
#include "raster/Color.h"
#include "raster/GlyphFont.h"

namespace pelsid {

QRgb Surface::qrgb(std::uint32_t color) {
    return toQRgb(color);
}

Surface::Surface(int width, int height, std::uint32_t backColor) : back_(backColor) {
    resize(width, height);
}

void Surface::resize(int width, int height) {
    dropDeferred();
    w_ = std::max(1, width);
    h_ = std::max(1, height);
    img_ = QImage(w_, h_, QImage::Format_RGB32);
    bits_ = img_.bits();
    bpl_ = std::size_t(img_.bytesPerLine());
    if (picking_) picks_.assign(bpl_ / sizeof(QRgb) * std::size_t(h_), 0);
    clear();
}

void Surface::enablePicks(bool on) {
    settle();
    picking_ = on;
    if (on)
        picks_.assign(bpl_ / sizeof(QRgb) * std::size_t(h_), 0);
    else
        std::vector<std::uint32_t>().swap(picks_);
}

QImage Surface::maskOf(std::uint32_t owner, QRgb color) const {
    QImage mask(w_, h_, QImage::Format_ARGB32_Premultiplied);
    mask.fill(Qt::transparent);
    if (!picking_ || owner == 0) return mask;
    settle();
    // What the packet covered but left in the background colour (the gaps
    // of its text, dark bits of its row) shows faintly, so its strokes stand out.
    const QRgb back = toQRgb(back_);
    const QRgb faint = qPremultiply(qRgba(qRed(color), qGreen(color), qBlue(color), 96));
    for (int y = 0; y < h_; ++y) {
        const std::uint32_t* k = rawPick(y);
        const QRgb* r = rawRow(y);
        auto* out = reinterpret_cast<QRgb*>(mask.scanLine(y));
        for (int x = 0; x < w_; ++x)
            if (k[x] == owner) out[x] = r[x] == back ? faint : color;
    }
    return mask;
}

std::uint32_t Surface::pickAt(int x, int y) const {
    if (!picking_ || unsigned(x) >= unsigned(w_) || unsigned(y) >= unsigned(h_)) return 0;
    settle();
    return rawPick(y)[x];
}

void Surface::clear() {
    // Deferred like any erase: a picture cleared again (or resized) before
    // anyone draws on it or looks at it is never filled.
    dropDeferred();
    top_ = 0;
    defer(Deferred::Erase, 0, 0, h_, back_);
}

std::uint32_t Surface::pixel(int x, int y) const {
    if (unsigned(x) >= unsigned(w_) || unsigned(y) >= unsigned(h_)) return back_;
    settle();
    return fromQRgb(rawRow(y)[x]);
}

void Surface::fill(int x0, int x1, int y, QRgb c, std::uint32_t owner) const {
    if (unsigned(y) >= unsigned(h_)) return;
    x0 = std::max(x0, 0);
    x1 = std::min(x1, w_);
    if (x0 >= x1) return;
    std::fill(rawRow(y) + x0, rawRow(y) + x1, c);
    if (picking_) std::fill(rawPick(y) + x0, rawPick(y) + x1, owner);
}

void Surface::hline(int x0, int x1, int y, std::uint32_t color) {
    settle();
    fill(x0, x1, y, toQRgb(color), owner_);
    touch();
}

void Surface::eraseRow(int y) {
    settle();
    fill(0, w_, y, toQRgb(back_), 0);
    touch();
}

void Surface::line(int x0, int y0, int x1, int y1, std::uint32_t color) {
    if (y0 == y1) {
        if (x1 >= x0)
            hline(x0, x1, y0, color);
        else
            hline(x1 + 1, x0 + 1, y0, color);
        return;
    }
    // Bresenham over every point but the last.
    settle();
    const QRgb c = toQRgb(color);
    const std::uint32_t o = owner_;
    // The pick map shares the pixels' layout: an index into one is one into the other.
    QRgb* const px = reinterpret_cast<QRgb*>(bits_);
    std::uint32_t* const pk = picking_ ? picks_.data() : nullptr;
    const int dx = std::abs(x1 - x0), sx = x0 < x1 ? 1 : -1;
    const int dy = -std::abs(y1 - y0), sy = y0 < y1 ? 1 : -1;
    int err = dx + dy;
    int x = x0, y = y0;
    // A line that is longer in x steps in x at every point (and one longer in
    // y in y), so its points lie between its ends, less the end's own column
    // (row). Tests that this shows unneeded are left out of the loop.
    auto inX = [this](int a, int b) {
        return unsigned(a) < unsigned(w_) && unsigned(b) < unsigned(w_);
    };
    auto inY = [this](int a, int b) {
        return unsigned(a) < unsigned(h_) && unsigned(b) < unsigned(h_);
    };
    // The row pointer changes only when y does; null while y is outside.
    auto rowAt = [this](int yy) { return unsigned(yy) < unsigned(h_) ? rawRow(yy) : nullptr; };
    // Wholly inside a picture whose rows are in order: walk one pointer,
    // with selects for the steps rather than branches.
    const std::ptrdiff_t down = sy * std::ptrdiff_t(bpl_ / sizeof(QRgb));
    if (top_ == 0 && dx >= -dy && inX(x0, x1 - sx) && inY(y0, y1)) {
        std::ptrdiff_t p = std::ptrdiff_t(y) * down * sy + x;  // down * sy: one row
        for (int i = 0; i < dx; ++i) {
            px[p] = c;
            if (pk) pk[p] = o;
            const bool stepY = 2 * err <= dx;
            err += dy + (stepY ? dx : 0);
            p += sx + (stepY ? down : 0);
        }
    } else if (top_ == 0 && dx < -dy && inY(y0, y1 - sy) && inX(x0, x1)) {
        std::ptrdiff_t p = std::ptrdiff_t(y) * down * sy + x;  // down * sy: one row
        for (int i = 0; i < -dy; ++i) {
            px[p] = c;
            if (pk) pk[p] = o;
            const bool stepX = 2 * err >= dy;
            err += dx + (stepX ? dy : 0);
            p += down + (stepX ? sx : 0);
        }
    } else if (dx >= -dy) {
        const bool xInside = inX(x0, x1 - sx);
        QRgb* r = rowAt(y);
        for (int i = 0; i < dx; ++i) {
            if (r && (xInside || unsigned(x) < unsigned(w_))) {
                r[x] = c;
                if (pk) rawPick(y)[x] = o;
            }
            const int e2 = 2 * err;
            err += dy;
            x += sx;
            if (e2 <= dx) {
                err += dx;
                y += sy;
                r = rowAt(y);
            }
        }
    } else {
        const bool inside = inY(y0, y1 - sy) && inX(x0, x1);
        for (int i = 0; i < -dy; ++i) {
            if (inside || (unsigned(x) < unsigned(w_) && unsigned(y) < unsigned(h_))) {
                rawRow(y)[x] = c;
                if (pk) rawPick(y)[x] = o;
            }
            const int e2 = 2 * err;
            if (e2 >= dy) {
                err += dy;
                x += sx;
            }
            err += dx;
            y += sy;
        }
    }
    touch();
}

void Surface::text(int x, int y, std::string_view text, std::uint32_t color,
                   const GlyphFont& font) {
    settle();
    drawText(x, y, text, toQRgb(color), font, owner_);
    touch();
}

Surface::Deferred& Surface::defer(Deferred::Kind kind, int x, int y, int bottom,
                                  std::uint32_t color) {
    if (deferred_.full()) deferred_.compact();
    if (deferred_.full()) drawDeferred();
    touch();
    // Erases and the columns a scroll opens belong to nobody.
    const bool owned = kind == Deferred::Text || kind == Deferred::Pixel;
    return deferred_.add(kind, x, y, bottom, color, owned ? owner_ : 0);
}

void Surface::deferText(int x, int y, std::string_view text, std::uint32_t color,
                        const GlyphFont& font) {
    Deferred& d = defer(Deferred::Text, x, y, y + font.height(), color);
    d.font = &font;
    d.text.assign(text);
}

void Surface::deferScrollRight(int n, std::uint32_t fill) {
    if (n > 0) defer(Deferred::ScrollRight, n, 0, h_, fill);
}

void Surface::deferPixel(int x, int y, std::uint32_t color) {
    // A dot outside the picture is never there to move.
    if (unsigned(x) < unsigned(w_) && unsigned(y) < unsigned(h_))
        defer(Deferred::Pixel, x, y, y + 1, color);
}

void Surface::eraseRows(int y0, int y1) {
    y0 = std::max(y0, 0);
    y1 = std::min(y1, h_);
    if (y0 >= y1) return;
    // Work wholly inside the band would be erased anyway (the sideways
    // scrolls keep every pixel in its row).
    deferred_.dropWithin(y0, y1);
    defer(Deferred::Erase, 0, y0, y1, back_);
}

void Surface::scrollRightWithDots(int first, int end) const {
    // Each dot moves on with every scroll after it; one that leaves the
    // picture is gone, as it would have been.
    long sum = 0;
    for (int i = first; i < end; ++i) {
        const Deferred& d = deferred_.at(i);
        if (deferred_.live(i) && d.kind == Deferred::ScrollRight) sum += d.x;
    }
    const int shift = int(std::min<long>(w_, sum));
    const QRgb fillColor = toQRgb(deferred_.at(first).color);
    for (int y = 0; y < h_; ++y) {
        QRgb* r = rawRow(y);
        std::memmove(r + shift, r, std::size_t(w_ - shift) * sizeof(QRgb));
        std::fill(r, r + shift, fillColor);
        if (picking_) {
            std::uint32_t* k = rawPick(y);
            std::memmove(k + shift, k, std::size_t(w_ - shift) * sizeof(std::uint32_t));
            std::fill(k, k + shift, 0u);
        }
    }
    long after = sum;  // the scrolling still to come
    for (int i = first; i < end; ++i) {
        const Deferred& d = deferred_.at(i);
        if (!deferred_.live(i)) continue;
        if (d.kind == Deferred::ScrollRight) {
            after -= d.x;
        } else {
            // A dot set outside the picture was never there to move.
            if (unsigned(d.x) >= unsigned(w_) || unsigned(d.y) >= unsigned(h_)) continue;
            const long x = long(d.x) + after;
            if (x < w_) {
                rawRow(d.y)[x] = toQRgb(d.color);
                if (picking_) rawPick(d.y)[x] = d.owner;
            }
        }
    }
}

void Surface::drawDeferred() const {
    // Drawing changes pixels, not what the picture shows: it is the same
    // picture whether the work was done then or now.
    const int count = deferred_.take();
    for (int i = 0; i < count; ++i) {
        const Deferred& d = deferred_.at(i);
        if (!deferred_.live(i)) continue;
        switch (d.kind) {
            case Deferred::Text:
                drawText(d.x, d.y, d.text, toQRgb(d.color), *d.font, d.owner);
                break;
            case Deferred::Erase:
                for (int y = d.y; y < d.bottom; ++y) fill(0, w_, y, toQRgb(d.color), 0);
                break;
            case Deferred::Pixel:
                fill(d.x, d.x + 1, d.y, toQRgb(d.color), d.owner);
                break;
            case Deferred::ScrollRight: {
                // The run of scrolls (with one fill) and dots that starts here.
                int end = i + 1;
                while (end < count) {
                    const Deferred& e = deferred_.at(end);
                    const bool live = deferred_.live(end);
                    if (live && e.kind == Deferred::ScrollRight && e.color != d.color) break;
                    if (live && e.kind != Deferred::ScrollRight && e.kind != Deferred::Pixel) break;
                    ++end;
                }
                scrollRightWithDots(i, end);
                i = end - 1;
                break;
            }
        }
    }
}

void Surface::drawText(int x, int y, std::string_view text, QRgb c, const GlyphFont& font,
                       std::uint32_t owner) const {
    const int fh = font.height();
    if (y >= h_ || y + fh <= 0) return;
    if (picking_) {
        // The cells the characters stand in, as far as they are drawn.
        int right = x;
        for (unsigned char ch : text) {
            if (right >= w_) break;
            right += font.glyph(ch).advance;
        }
        for (int r = std::max(0, y); r < std::min(h_, y + fh); ++r) {
            const int a = std::max(0, x), b = std::min(w_, right);
            if (a < b) std::fill(rawPick(r) + a, rawPick(r) + b, owner);
        }
    }
    // Row pointers once per text; glyph rows outside the picture are null.
    constexpr int kMaxRows = 64;
    QRgb* rows[kMaxRows];
    const int n = std::min(fh, kMaxRows);
    for (int r = 0; r < n; ++r) rows[r] = unsigned(y + r) < unsigned(h_) ? rawRow(y + r) : nullptr;
    const bool allRows = y >= 0 && y + fh <= h_ && fh <= kMaxRows;
    for (unsigned char ch : text) {
        if (x >= w_) break;
        const GlyphFont::Glyph& g = font.glyph(ch);
        if (allRows && x + g.left >= 0 && x + g.right <= w_) {
            for (const GlyphFont::Dot& d : g.dots) rows[d.y][x + d.x] = c;
        } else {
            for (const GlyphFont::Run& r : g.runs) {
                if (r.y >= n || !rows[r.y]) continue;
                const int a = std::max(0, x + r.x0), b = std::min(w_, x + r.x1);
                for (int i = a; i < b; ++i) rows[r.y][i] = c;
            }
        }
        x += g.advance;
    }
}

void Surface::blit(const Surface& src, int sx, int sy, int w, int h, int dx, int dy) {
    // Clip the source rectangle, then the destination.
    if (sx < 0) {
        w += sx;
        dx -= sx;
        sx = 0;
    }
    if (sy < 0) {
        h += sy;
        dy -= sy;
        sy = 0;
    }
    w = std::min(w, src.w_ - sx);
    h = std::min(h, src.h_ - sy);
    if (dx < 0) {
        w += dx;
        sx -= dx;
        dx = 0;
    }
    if (dy < 0) {
        h += dy;
        sy -= dy;
        dy = 0;
    }
    w = std::min(w, w_ - dx);
    h = std::min(h, h_ - dy);
    if (w <= 0 || h <= 0) return;
    src.settle();
    settle();
    const std::size_t bytes = std::size_t(w) * sizeof(QRgb);
    // Copying a surface onto itself downwards must start at the bottom.
    const bool upward = &src == this && dy > sy;
    for (int i = 0; i < h; ++i) {
        const int r = upward ? h - 1 - i : i;
        std::memmove(rawRow(dy + r) + dx, src.rawRow(sy + r) + sx, bytes);
        // Picks go with the pixels; pixels from a picture without them belong to nobody.
        if (picking_ && src.picking_)
            std::memmove(rawPick(dy + r) + dx, src.rawPick(sy + r) + sx, bytes);
        else if (picking_)
            std::fill(rawPick(dy + r) + dx, rawPick(dy + r) + dx + w, 0u);
    }
    touch();
}

void Surface::scrollDown() {
    settle();
    top_ = top_ == 0 ? h_ - 1 : top_ - 1;
    eraseRow(0);
}

QImage Surface::image() const {
    settle();
    if (top_ == 0) return img_.copy();
    QImage out(w_, h_, QImage::Format_RGB32);
    for (int y = 0; y < h_; ++y)
        std::memcpy(out.scanLine(y), rawRow(y), std::size_t(w_) * sizeof(QRgb));
    return out;
}

void Surface::paint(QPainter& painter, int x, int y) const {
    // Two slices of the ring, no composing copy.
    settle();
    const int lower = h_ - top_;
    painter.drawImage(QPoint(x, y), img_, QRect(0, top_, w_, lower));
    if (top_ > 0) painter.drawImage(QPoint(x, y + lower), img_, QRect(0, 0, w_, top_));
}

bool Surface::saveBitmap(const QString& path, QString* error) const {
    settle();
    return writeBitmap(
        path, w_, h_, [this](int y) { return rawRow(y); }, error);
}

}  // namespace pelsid
