#pragma once
#include <QPoint>
#include <QRect>
#include <QSize>

class QWidget;

namespace pelsid {

/// Room a window manager adds around a window's contents (title bar and
/// borders), allowed for before a window is first shown and has a frame.
inline constexpr QSize kFrameAllowance{16, 40};

/// Where the `index`-th new window of `size` (frame included) goes: cascaded
/// beside `anchor` (the main window's frame), wrapped back to the screen's
/// left or top edge when the cascade would leave `available`, and never
/// past its right or bottom edge.
QPoint cascadePosition(const QRect& anchor, QSize size, int index, const QRect& available);

/// Moves `window` (shown or not) wholly onto the available part of its
/// screen, as far as it fits.
void keepOnScreen(QWidget* window);

}  // namespace pelsid
