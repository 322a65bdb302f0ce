#pragma once
#include <QFont>
#include <array>
#include <memory>
#include <string_view>
#include <vector>

namespace pelsid {

/// A font whose glyphs are rendered once (without anti-aliasing) and kept as
/// runs of set pixels, so printing a label costs a few span fills instead of a
/// text layout. Characters are Latin-1 bytes.
class GlyphFont {
  public:
    /// `family` at `pixelSize` pixels (8.25 pt at 96 dpi is 11 pixels).
    GlyphFont(const QString& family, int pixelSize, bool bold = false);

    struct Run {
        short y, x0, x1;  // x1 exclusive, relative to the glyph's top-left cell corner
    };
    struct Dot {
        short y, x;  // one set pixel, relative as runs are
    };
    struct Glyph {
        int advance = 0;
        int left = 0, right = 0;  // the columns its runs cover, left..right - 1
        std::vector<Run> runs;
        std::vector<Dot> dots;  // the same pixels one by one, for unclipped drawing
    };

    const Glyph& glyph(unsigned char c) const { return glyphs_[c]; }
    int height() const { return height_; }
    int ascent() const { return ascent_; }
    int width(std::string_view text) const;
    const QFont& font() const { return font_; }

    /// "Courier New" 8.25 pt, the text face of the rainfall and detail views.
    static const GlyphFont& courier8();
    /// The face of plot labels.
    static const GlyphFont& label();

  private:
    QFont font_;
    int height_ = 0;
    int ascent_ = 0;
    std::array<Glyph, 256> glyphs_;
};

}  // namespace pelsid
