#pragma once
#include "pipeline/GuiThread.h"

namespace pelsid {

/// A view's settings as its controls leave them, and the copy a run is drawn
/// with. The controls change them on the GUI thread between runs; a run,
/// perhaps on the drawing thread, reads only the copy, so it never sees them
/// change half-way.
template <class Settings>
class RunSettings {
  public:
    explicit RunSettings(const Settings& initial = {}) : current_(initial), run_(initial) {}

    const Settings& current() const { return current_; }
    Settings& edit() {
        PELSID_ASSERT_GUI_THREAD();
        return current_;
    }
    /// Before a run (or a single packet): the run draws with what is set now.
    void beginRun() {
        PELSID_ASSERT_GUI_THREAD();
        run_ = current_;
    }
    const Settings& run() const { return run_; }

  private:
    Settings current_;
    Settings run_;
};

}  // namespace pelsid
