#pragma once
#include <initializer_list>
#include <string_view>

namespace pelsid {

class Surface;
class GlyphFont;

/// A plot label with its top-left corner.
struct PlacedLabel {
    int x = 0;
    int y = 0;
    std::string_view text;
};

/// Prints the labels the way every plot labels its marks: first all their
/// shadows in dark grey one pixel down and right, then all of them in
/// white, so no shadow covers a label drawn in the same call.
void drawShadowedLabels(Surface& surface, std::initializer_list<PlacedLabel> labels,
                        const GlyphFont& font);

}  // namespace pelsid
