#include "control/Screenshots.h"

#include "views/ViewWindow.h"

namespace pelsid {

QString screenshotStamp(const QDateTime& time) {
    return time.toString(QStringLiteral("yyyyMMdd_HHmmss"));
}

QString saveScreenshots(const std::vector<const ViewRenderer*>& shownViews, const QString& folder,
                        const QString& stamp) {
    QString error;
    for (const ViewRenderer* v : shownViews)
        if (!v->screenShot(folder, stamp, &error)) return error;
    return {};
}

}  // namespace pelsid
