#pragma once
#include <QDateTime>
#include <QString>
#include <vector>

namespace pelsid {

class ViewRenderer;

/// "yyyymmdd_hhnnss" of a local time.
QString screenshotStamp(const QDateTime& time);

/// Saves every given (shown) view's pictures into `folder` under one stamp,
/// in the order given. Stops at the first file that cannot be written and
/// returns its message (the files already written stay); empty on success.
QString saveScreenshots(const std::vector<const ViewRenderer*>& shownViews, const QString& folder,
                        const QString& stamp);

}  // namespace pelsid
