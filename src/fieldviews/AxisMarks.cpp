#include "fieldviews/AxisMarks.h"

#include <algorithm>
#include <cmath>

#include "fieldviews/ShadowLabels.h"
#include "raster/Color.h"
#include "raster/GlyphFont.h"
#include "raster/Surface.h"

namespace pelsid {

std::array<int, kMaxAxes> axisPositions(int numAxes, int width) {
    std::array<int, kMaxAxes> x{};
    if (numAxes < 2 || numAxes > kMaxAxes) return x;
    for (int k = 2; k < numAxes; ++k)
        x[k - 1] = int(std::nearbyint(double(k - 1) / double(numAxes - 1) * double(width)));
    x[numAxes - 1] = width;
    return x;
}

int labelTop(int y, int height, int textHeight) {
    return height - textHeight > y ? y : y - textHeight;
}

void plotSegment(Surface& surface, const AxisMark& a, const AxisMark& b, bool bIsLastAxis,
                 std::uint32_t color) {
    const GlyphFont& font = GlyphFont::label();
    surface.line(a.x, a.y, b.x, b.y, color);
    const int h = surface.height(), th = font.height();
    // Monospaced labels: the width of "A" times the length right-aligns exactly.
    const int bx = bIsLastAxis ? b.x - font.width("A") * int(b.label.size()) : b.x;
    drawShadowedLabels(
        surface, {{a.x, labelTop(a.y, h, th), a.label}, {bx, labelTop(b.y, h, th), b.label}}, font);
}

void plotPoint(Surface& surface, const AxisMark& mark, bool isLastAxis, std::uint32_t color) {
    const GlyphFont& font = GlyphFont::label();
    int x = mark.x, labelX = mark.x;
    if (isLastAxis) {
        x = std::min(mark.x, surface.width() - 1);
        labelX = mark.x - font.width("A") * int(mark.label.size());
    }
    surface.setPixel(x, mark.y, color);
    surface.text(labelX, mark.y, mark.label, rgb(255, 255, 255), font);
}

}  // namespace pelsid
