#pragma once
#include "views/Surface.h"

namespace pelsid {

/// The two ways the rainfall-like views move their picture, one row per packet.
enum class ScrollMode { Static, Dynamic };

/// Moves a row position on by one, wrapping to the top after the last row,
/// and blanks the new row so the write position is always visible. The
/// position never rests below the last row, where a packet would be lost.
inline void advanceRow(Surface& surface, int& location) {
    location = location + 1 < surface.height() ? location + 1 : 0;
    surface.eraseRow(location);
}

/// Where the next packet goes: static scroll draws at `location`; dynamic
/// scroll moves the picture down one row (row 0 stays blank) and draws on row 1.
inline int beginRow(ScrollMode mode, Surface& picture, int location) {
    if (mode == ScrollMode::Static) return location;
    picture.scrollDown();
    return 1;
}

/// Finishes a packet row started with beginRow.
inline void endRow(ScrollMode mode, Surface& picture, int& location) {
    if (mode == ScrollMode::Static) advanceRow(picture, location);
}

/// Length scaled onto a pixel range, 1518 bytes (the largest Ethernet frame)
/// being the full range; halves round to even.
int scaleLength(int actualValue, int maxRange);

}  // namespace pelsid
