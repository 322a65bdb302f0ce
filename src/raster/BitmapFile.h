#pragma once
#include <QRgb>
#include <QString>
#include <functional>

namespace pelsid {

/// Writes a `width` x `height` picture as a 24-bit Windows bitmap, taking
/// its rows from `row` (0 is the top). False with the reason in `error`;
/// a file that could not be written whole is removed.
bool writeBitmap(const QString& path, int width, int height,
                 const std::function<const QRgb*(int y)>& row, QString* error);

}  // namespace pelsid
