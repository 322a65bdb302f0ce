#pragma once
#include <climits>
#include <cstdint>
#include <string>
#include <vector>

namespace pelsid {

class GlyphFont;

/// A surface's drawing put off until someone looks: the pieces of work in
/// the order given, each with the band of rows it touches, so that an erase
/// can drop the work lying wholly within it undrawn. Keeps its entries (and
/// their text's room) for reuse: no allocation once warm.
class DeferredDrawing {
  public:
    /// One piece of work, touching rows y .. bottom - 1.
    struct Work {
        enum Kind { Text, Erase, Pixel, ScrollRight } kind = Text;
        int x = 0, y = 0, bottom = 0;  // ScrollRight: x columns
        std::uint32_t color = 0;
        std::uint32_t owner = 0;  // the pick map's value for what it draws
        const GlyphFont* font = nullptr;
        std::string text;  // reused: its capacity stays
    };
    /// Enough for any picture's lines; beyond it the work is done at once.
    static constexpr int kMaxWork = 512;

    int count() const { return count_; }
    bool full() const { return count_ == kMaxWork; }
    /// A new piece of work, its other fields for the caller to fill.
    Work& add(Work::Kind kind, int x, int y, int bottom, std::uint32_t color, std::uint32_t owner);
    /// Drops the work lying wholly within rows y0 .. y1 - 1.
    void dropWithin(int y0, int y1);
    /// Moves the work still live to the front.
    void compact();
    /// Forgets all the work.
    void clear() { count_ = dead_ = 0; }
    /// Hands the work over to be drawn: returns how many entries there are,
    /// which stay readable (at and live) until the next add.
    int take() {
        const int n = count_;
        clear();
        return n;
    }
    const Work& at(int i) const { return work_[std::size_t(i)]; }
    /// False once erased over.
    bool live(int i) const { return bands_[std::size_t(i)].y != INT_MAX; }

  private:
    std::vector<Work> work_;
    // The rows of each entry, apart so an erase scans them quickly; an entry
    // erased over has an empty band.
    struct Band {
        int y, bottom;
    };
    std::vector<Band> bands_;
    int count_ = 0;
    int dead_ = 0;  // entries before count_ erased over
};

}  // namespace pelsid
