#pragma once
#include <array>
#include <cstdint>
#include <string_view>

namespace pelsid {

class Surface;

/// The most axes a parallel plot stands side by side.
inline constexpr int kMaxAxes = 18;

/// x of axes 1..numAxes (element k - 1) spread over `width`: the first at 0,
/// the last at `width` itself (just beyond the last column), the others at
/// equal steps rounded halves to even.
std::array<int, kMaxAxes> axisPositions(int numAxes, int width);

/// Top of a label beside a mark at row y: below the mark, or above it where
/// it would run off the bottom of a picture `height` rows high.
int labelTop(int y, int height, int textHeight);

/// One axis end of a segment: where the packet meets the axis, and its label.
struct AxisMark {
    int x = 0;
    int y = 0;
    std::string_view label;
};

/// The parallel plots' segment between two neighbouring axes: the line in
/// the packet's colour, then both labels with their shadows. The label on
/// the last axis of a plot is right-aligned against that axis.
void plotSegment(Surface& surface, const AxisMark& a, const AxisMark& b, bool bIsLastAxis,
                 std::uint32_t color);

/// A packet known on one axis only: a pixel and a white label, no shadow.
void plotPoint(Surface& surface, const AxisMark& mark, std::uint32_t color);

}  // namespace pelsid
