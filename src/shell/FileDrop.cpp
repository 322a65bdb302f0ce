#include "shell/FileDrop.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QTimer>
#include <QUrl>
#include <QWidget>

namespace pelsid {

FileDrop::FileDrop(std::function<void(const QString&)> load, QObject* parent)
    : QObject(parent), load_(std::move(load)) {}

void FileDrop::watch(QWidget* window) {
    window->setAcceptDrops(true);
    window->installEventFilter(this);
}

QString FileDrop::fileOf(const QList<QUrl>& urls) {
    if (urls.size() != 1 || !urls.front().isLocalFile()) return {};
    const QString path = urls.front().toLocalFile();
    return QFileInfo(path).isDir() ? QString() : path;
}

bool FileDrop::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::DragEnter || event->type() == QEvent::DragMove) {
        auto* drag = static_cast<QDropEvent*>(event);
        if (drag->mimeData() && !fileOf(drag->mimeData()->urls()).isEmpty()) {
            drag->acceptProposedAction();
            return true;
        }
        return false;
    }
    if (event->type() == QEvent::Drop) {
        auto* drop = static_cast<QDropEvent*>(event);
        const QString file = drop->mimeData() ? fileOf(drop->mimeData()->urls()) : QString();
        if (file.isEmpty()) return false;
        drop->acceptProposedAction();
        QTimer::singleShot(0, this, [this, file] { load_(file); });
        return true;
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace pelsid
