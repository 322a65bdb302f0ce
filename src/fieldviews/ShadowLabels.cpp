#include "fieldviews/ShadowLabels.h"

#include "raster/Color.h"
#include "raster/Surface.h"

namespace pelsid {

void drawShadowedLabels(Surface& surface, std::initializer_list<PlacedLabel> labels,
                        const GlyphFont& font) {
    constexpr std::uint32_t kShadow = rgb(64, 64, 64);
    constexpr std::uint32_t kWhite = rgb(255, 255, 255);
    for (const PlacedLabel& l : labels) surface.text(l.x + 1, l.y + 1, l.text, kShadow, font);
    for (const PlacedLabel& l : labels) surface.text(l.x, l.y, l.text, kWhite, font);
}

}  // namespace pelsid
