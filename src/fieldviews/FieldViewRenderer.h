#pragma once
#include "fieldviews/AxisStore.h"
#include "raster/Surface.h"
#include "views/RunSettings.h"
#include "views/ViewRenderer.h"

namespace pelsid {

/// What the three header-field views share: the picture picGraph with its
/// pick map and the axis store that remembers their choices from one
/// renderer to the next.
class FieldViewRenderer : public ViewRenderer {
  public:
    FieldViewRenderer(Thumbnails& thumbnails, AxisStore& axes)
        : ViewRenderer(thumbnails), axes_(axes) {
        picGraph_.enablePicks();
    }
    Surface& picGraph() { return picGraph_; }

  protected:
    /// A chooser's value: `axisIndex` when it names a field, else none (-1).
    static int chosenAxis(int axisIndex);
    /// A chooser comboAxis(k) as a setting.
    static SettingControl axisControl(int k, std::function<int()> get,
                                      std::function<void(int)> set);

    AxisStore& axes_;
    Surface picGraph_;
};

}  // namespace pelsid
