#include "views/Surface.h"

#include <QFile>
#include <QPainter>
#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "views/Color.h"
#include "views/GlyphFont.h"

namespace pelsid {

QRgb Surface::qrgb(std::uint32_t color) {
    return toQRgb(color);
}

Surface::Surface(int width, int height, std::uint32_t backColor) : back_(backColor) {
    resize(width, height);
}

void Surface::resize(int width, int height) {
    w_ = std::max(1, width);
    h_ = std::max(1, height);
    img_ = QImage(w_, h_, QImage::Format_RGB32);
    bits_ = img_.bits();
    bpl_ = std::size_t(img_.bytesPerLine());
    clear();
}

void Surface::clear() {
    top_ = 0;
    img_.fill(toQRgb(back_));
    bits_ = img_.bits();  // in case a painter briefly shared the image
    touch();
}

std::uint32_t Surface::pixel(int x, int y) const {
    if (unsigned(x) >= unsigned(w_) || unsigned(y) >= unsigned(h_)) return back_;
    return fromQRgb(row(y)[x]);
}

void Surface::hline(int x0, int x1, int y, std::uint32_t color) {
    if (unsigned(y) >= unsigned(h_)) return;
    x0 = std::max(x0, 0);
    x1 = std::min(x1, w_);
    if (x0 >= x1) return;
    std::fill(row(y) + x0, row(y) + x1, toQRgb(color));
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
    const QRgb c = toQRgb(color);
    const int dx = std::abs(x1 - x0), sx = x0 < x1 ? 1 : -1;
    const int dy = -std::abs(y1 - y0), sy = y0 < y1 ? 1 : -1;
    int err = dx + dy;
    int x = x0, y = y0;
    while (x != x1 || y != y1) {
        if (unsigned(x) < unsigned(w_) && unsigned(y) < unsigned(h_)) row(y)[x] = c;
        const int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y += sy;
        }
    }
    touch();
}

void Surface::text(int x, int y, std::string_view text, std::uint32_t color,
                   const GlyphFont& font) {
    const QRgb c = toQRgb(color);
    for (unsigned char ch : text) {
        if (x >= w_) break;
        const GlyphFont::Glyph& g = font.glyph(ch);
        for (const GlyphFont::Run& r : g.runs) {
            const int py = y + r.y;
            if (unsigned(py) >= unsigned(h_)) continue;
            const int a = std::max(0, x + r.x0), b = std::min(w_, x + r.x1);
            if (a < b) std::fill(row(py) + a, row(py) + b, c);
        }
        x += g.advance;
    }
    touch();
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
    const std::size_t bytes = std::size_t(w) * sizeof(QRgb);
    // Copying a surface onto itself downwards must start at the bottom.
    const bool upward = &src == this && dy > sy;
    for (int i = 0; i < h; ++i) {
        const int r = upward ? h - 1 - i : i;
        std::memmove(row(dy + r) + dx, src.row(sy + r) + sx, bytes);
    }
    touch();
}

void Surface::scrollDown() {
    top_ = top_ == 0 ? h_ - 1 : top_ - 1;
    eraseRow(0);
}

QImage Surface::image() const {
    if (top_ == 0) return img_.copy();
    QImage out(w_, h_, QImage::Format_RGB32);
    for (int y = 0; y < h_; ++y)
        std::memcpy(out.scanLine(y), row(y), std::size_t(w_) * sizeof(QRgb));
    return out;
}

void Surface::paint(QPainter& painter, int x, int y) const {
    // Two slices of the ring, no composing copy.
    const int lower = h_ - top_;
    painter.drawImage(QPoint(x, y), img_, QRect(0, top_, w_, lower));
    if (top_ > 0) painter.drawImage(QPoint(x, y + lower), img_, QRect(0, 0, w_, top_));
}

bool Surface::saveBitmap(const QString& path, QString* error) const {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        if (error) *error = file.errorString();
        return false;
    }
    if (!image().save(&file, "BMP") || !file.flush()) {
        if (error)
            *error =
                file.errorString().isEmpty() ? QStringLiteral("write failed") : file.errorString();
        file.close();
        return false;
    }
    return true;
}

}  // namespace pelsid
