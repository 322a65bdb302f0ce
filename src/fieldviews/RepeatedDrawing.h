#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string_view>
#include <utility>
#include <vector>

#include "raster/Surface.h"

namespace pelsid {

/// Remembers what a view last drew on a picture, so that drawing exactly the
/// same again can be left out. A view's drawing is a sequence of opaque
/// paints; the same sequence painted twice leaves every pixel as painting it
/// once did, provided nothing was drawn on the picture in between (its
/// revision tells). Steady traffic repeats itself a good deal.
template <class Drawing>
class RepeatedDrawing {
  public:
    /// True when `drawing` is what was last drawn on `surface` and the
    /// picture is unchanged since; on a picture with a pick map, also by the
    /// same owner, since a drawing left out would leave its pixels to the
    /// packet before.
    bool repeats(const Surface& surface, const Drawing& drawing) const {
        return known_ && surface.revision() == revision_ &&
               (!surface.picksEnabled() || surface.owner() == owner_) && drawing == last_;
    }
    /// Records that `drawing` has just been drawn on `surface`.
    void drawn(const Surface& surface, Drawing drawing) {
        last_ = std::move(drawing);
        revision_ = surface.revision();
        owner_ = surface.owner();
        known_ = true;
    }

  private:
    Drawing last_{};
    std::uint64_t revision_ = 0;
    std::uint32_t owner_ = 0;
    bool known_ = false;
};

/// A drawing and the packet it belongs to. Equal when the drawings are,
/// whoever owns them: of equal drawings in a run the last stays, with its
/// own owner, so the pick map names the packet that drew last.
template <class Drawing>
struct OwnedDrawing {
    Drawing drawing;
    std::uint32_t owner = 0;
    bool operator==(const OwnedDrawing& other) const { return drawing == other.drawing; }
};

/// Leaves out of a run's drawings, all made on one picture with nobody
/// looking in between, every one that comes again later in the run: it
/// leaves no trace, since every pixel it paints is painted the same way
/// again afterwards. The last of each stays, in order. `hash` hashes a
/// drawing consistently with ==.
template <class Drawing, class Hash>
void keepLastOfEach(std::vector<Drawing>& drawings, Hash hash) {
    const std::size_t n = drawings.size();
    if (n < 2) return;
    // Open addressing over indices into `drawings`, newest first.
    std::size_t mask = 1;
    while (mask < 2 * n) mask <<= 1;
    --mask;
    constexpr std::size_t kEmpty = ~std::size_t(0);
    std::vector<std::size_t> slot(mask + 1, kEmpty);
    std::vector<char> keep(n, 0);
    for (std::size_t i = n; i-- > 0;) {
        std::size_t h = hash(drawings[i]) & mask;
        while (slot[h] != kEmpty && !(drawings[slot[h]] == drawings[i])) h = (h + 1) & mask;
        if (slot[h] == kEmpty) {
            slot[h] = i;
            keep[i] = 1;
        }
    }
    std::size_t out = 0;
    for (std::size_t i = 0; i < n; ++i)
        if (keep[i]) {
            if (out != i) drawings[out] = std::move(drawings[i]);
            ++out;
        }
    drawings.resize(out);
}

/// Mixes `value` into a running hash.
inline std::size_t mixHash(std::size_t seed, std::size_t value) {
    return seed ^ (value + 0x9e3779b97f4a7c15ull + (seed << 6) + (seed >> 2));
}
inline std::size_t mixHash(std::size_t seed, std::string_view text) {
    return mixHash(seed, std::hash<std::string_view>{}(text));
}

/// The marks `mark` makes of a run's items, the last of each kept, in
/// order: for thumbnails whose marks are two numbers in one colour.
template <class Run, class Mark>
std::vector<std::pair<int, int>> lastOfEachMark(const Run& run, Mark mark) {
    std::vector<std::pair<int, int>> marks;
    marks.reserve(run.size());
    for (const auto& item : run) marks.push_back(mark(item));
    keepLastOfEach(marks, [](const std::pair<int, int>& m) {
        return mixHash(std::size_t(m.first), std::size_t(m.second));
    });
    return marks;
}

}  // namespace pelsid
