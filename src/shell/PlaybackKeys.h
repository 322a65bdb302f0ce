#pragma once
#include <functional>

class QWidget;

namespace pelsid {

/// Gives `window` the playback keys while it has focus: Space plays or
/// pauses, Left and Right step, Home stops. Each key clicks the PVR's own
/// button, so it does exactly what the click does. `pvr` returns the PVR
/// window (created hidden if needed) at the moment a key is pressed.
void addPlaybackKeys(QWidget* window, std::function<QWidget*()> pvr);

/// Ctrl+G in `window` calls `goTo`.
void addGoToKey(QWidget* window, std::function<void()> goTo);

/// Adds the keys' names to the PVR buttons' tool tips.
void showPlaybackKeys(QWidget* pvr);

}  // namespace pelsid
