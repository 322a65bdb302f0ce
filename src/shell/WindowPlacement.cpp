#include "shell/WindowPlacement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <algorithm>

namespace pelsid {

namespace {
constexpr int kCascadeSteps = 8;
constexpr int kCascadeStep = 24;
constexpr int kGap = 11;  // beside the anchor's last column, as before

// The start of a span of `length` along [low, high): `wanted` when it fits,
// else wrapped to `low + shift`, else as far as it fits.
int fitSpan(int wanted, int length, int low, int high, int shift) {
    if (wanted >= low && wanted + length <= high) return wanted;
    if (low + shift + length <= high) return low + shift;
    return std::max(low, high - length);
}

QRect screenRect(const QWidget* window) {
    const QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect();
}
}  // namespace

QPoint cascadePosition(const QRect& anchor, QSize size, int index, const QRect& available) {
    const int shift = kCascadeStep * (index % kCascadeSteps);
    const int right = available.x() + available.width();
    const int bottom = available.y() + available.height();
    return {fitSpan(anchor.x() + anchor.width() + kGap + shift, size.width(), available.x(), right,
                    shift),
            fitSpan(anchor.y() + shift, size.height(), available.y(), bottom, shift)};
}

void keepOnScreen(QWidget* window) {
    const QRect available = screenRect(window);
    if (available.isEmpty()) return;
    const QRect frame = window->frameGeometry();
    // Before a window is shown its frame is not known yet.
    const QSize size = window->isVisible() ? frame.size() : frame.size() + kFrameAllowance;
    const int x = fitSpan(frame.x(), size.width(), available.x(),
                          available.x() + available.width(), 0);
    const int y = fitSpan(frame.y(), size.height(), available.y(),
                          available.y() + available.height(), 0);
    if (x != frame.x() || y != frame.y()) window->move(x, y);
}

}  // namespace pelsid
