#include "raster/GlyphFont.h"

#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <algorithm>

namespace pelsid {

GlyphFont::GlyphFont(const QString& family, int pixelSize, bool bold) : font_(family) {
    font_.setPixelSize(pixelSize);
    font_.setBold(bold);
    font_.setStyleStrategy(QFont::StyleStrategy(QFont::NoAntialias | QFont::NoSubpixelAntialias));
    font_.setHintingPreference(QFont::PreferFullHinting);
    font_.setKerning(false);
    const QFontMetrics fm(font_);
    height_ = fm.height();
    ascent_ = fm.ascent();

    // Glyphs may overhang their advance box, so each is drawn with a margin,
    // all in one picture with one painter: a painter per glyph costs more
    // than the glyphs.
    const int pad = pixelSize;
    int cell = 0;
    for (int c = 0; c < 256; ++c) {
        glyphs_[c].advance = fm.horizontalAdvance(QChar::fromLatin1(char(c)));
        cell = std::max(cell, glyphs_[c].advance + 2 * pad);
    }
    QImage img(cell * 256, height_, QImage::Format_RGB32);
    img.fill(Qt::black);
    {
        QPainter p(&img);
        p.setFont(font_);
        p.setPen(Qt::white);
        for (int c = 32; c < 256; ++c)
            if (c != 127) p.drawText(c * cell + pad, ascent_, QString(QChar::fromLatin1(char(c))));
    }
    for (int c = 32; c < 256; ++c) {
        if (c == 127) continue;
        Glyph& g = glyphs_[c];
        const int left = c * cell, end = left + cell;
        for (int y = 0; y < img.height(); ++y) {
            const QRgb* row = reinterpret_cast<const QRgb*>(img.constScanLine(y));
            int x = left;
            while (x < end) {
                while (x < end && qRed(row[x]) < 128) ++x;
                const int start = x;
                while (x < end && qRed(row[x]) >= 128) ++x;
                if (x > start)
                    g.runs.push_back({short(y), short(start - left - pad), short(x - left - pad)});
            }
        }
        for (const Run& r : g.runs) {
            g.left = std::min(g.left, int(r.x0));
            g.right = std::max(g.right, int(r.x1));
            for (int x = r.x0; x < r.x1; ++x) g.dots.push_back({r.y, short(x)});
        }
    }
}

int GlyphFont::width(std::string_view text) const {
    int w = 0;
    for (unsigned char c : text) w += glyphs_[c].advance;
    return w;
}

const GlyphFont& GlyphFont::courier8() {
    static const GlyphFont font(QStringLiteral("Courier New"), 11);
    return font;
}

const GlyphFont& GlyphFont::label() {
    return courier8();  // the same face: made once
}

}  // namespace pelsid
