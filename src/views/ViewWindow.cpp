#include "views/ViewWindow.h"

#include <QDir>

#include "views/Surface.h"

namespace pelsid {

ViewWindow::ViewWindow(ViewContext& context, const QString& objectName, const QString& caption,
                       QWidget* parent)
    : QWidget(parent, Qt::Window), context_(context) {
    setObjectName(objectName);
    setWindowTitle(caption);
    setAttribute(Qt::WA_DeleteOnClose);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(64, 64, 64));
    pal.setColor(QPalette::WindowText, Qt::white);
    setPalette(pal);
    setAutoFillBackground(true);
}

bool ViewWindow::ScreenShot(const QString& folder, const QString& systemTime, QString* error) {
    for (const ShotFile& f : screenshotFiles())
        if (!saveShot(*f.surface, folder, systemTime, f.suffix, error)) return false;
    return true;
}

bool saveShot(const Surface& surface, const QString& folder, const QString& systemTime,
              const char* suffix, QString* error) {
    const QString path = QDir(folder).filePath(systemTime + QLatin1String(suffix));
    QString reason;
    if (surface.saveBitmap(path, &reason)) return true;
    if (error)
        *error =
            QStringLiteral("Could not write %1: %2").arg(QDir::toNativeSeparators(path), reason);
    return false;
}

}  // namespace pelsid
