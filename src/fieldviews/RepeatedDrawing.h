#pragma once
#include <cstdint>
#include <utility>

#include "views/Surface.h"

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
    /// picture is unchanged since.
    bool repeats(const Surface& surface, const Drawing& drawing) const {
        return known_ && surface.revision() == revision_ && drawing == last_;
    }
    /// Records that `drawing` has just been drawn on `surface`.
    void drawn(const Surface& surface, Drawing drawing) {
        last_ = std::move(drawing);
        revision_ = surface.revision();
        known_ = true;
    }

  private:
    Drawing last_{};
    std::uint64_t revision_ = 0;
    bool known_ = false;
};

}  // namespace pelsid
