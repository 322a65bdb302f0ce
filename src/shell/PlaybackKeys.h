#pragma once
#include <functional>

class QWidget;

namespace pelsid {

class PlaybackController;

/// Gives `window` the playback keys while it has focus: Space plays or
/// pauses, Left and Right step, Home stops. Each key does what a click on
/// the PVR's button does. `playback` returns the controller at the moment a
/// key is pressed.
void addPlaybackKeys(QWidget* window, std::function<PlaybackController&()> playback);

/// Ctrl+G in `window` calls `goTo`.
void addGoToKey(QWidget* window, std::function<void()> goTo);

/// Adds the keys' names to the PVR buttons' tool tips.
void showPlaybackKeys(QWidget* pvr);

}  // namespace pelsid
