#pragma once
#include <cstddef>
#include <span>

#include "raster/Surface.h"

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

/// The packets of a run that can show when each is drawn on its own row of
/// a picture `height` rows high: the last `height`. Within that many packets
/// every row is erased again (static scroll, thumbnails) or pushed out
/// (dynamic scroll).
template <class T>
std::span<const T> rowsThatShow(std::span<const T> run, int height) {
    return height > 0 && run.size() > std::size_t(height) ? run.last(std::size_t(height)) : run;
}

/// The same for rows placed with advanceRow from `location`, which moves on
/// over the packets left out as their advanceRow calls would have moved it.
template <class T>
std::span<const T> rowsThatShow(std::span<const T> run, int height, int& location) {
    if (location < 0 || location >= height) return run;
    const std::span<const T> shown = rowsThatShow(run, height);
    location = int((std::size_t(location) + run.size() - shown.size()) % std::size_t(height));
    return shown;
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
