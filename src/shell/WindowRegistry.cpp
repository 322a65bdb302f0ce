#include "shell/WindowRegistry.h"

#include <QAction>
#include <QEvent>
#include <QWidget>

#include "views/ViewWindow.h"

namespace pelsid {

void WindowRegistry::add(const QString& name, QAction* menuEntry, Factory factory) {
    if (!entries_.contains(name)) order_.append(name);
    entries_.insert(name, Entry{menuEntry, std::move(factory), {}});
}

void WindowRegistry::deleteWindows() {
    for (const QString& name : order_) delete entries_[name].window.data();
}

QWidget* WindowRegistry::window(const QString& name) {
    auto it = entries_.find(name);
    if (it == entries_.end()) return nullptr;
    if (!it->window) {
        QWidget* w = it->factory();
        w->setAttribute(Qt::WA_DeleteOnClose);
        w->installEventFilter(this);
        it = entries_.find(name);  // the factory may have touched other windows
        it->window = w;
        emit created(name, w);
    }
    return it->window;
}

QWidget* WindowRegistry::existing(const QString& name) const {
    auto it = entries_.constFind(name);
    return it == entries_.constEnd() ? nullptr : it->window.data();
}

bool WindowRegistry::isShown(const QString& name) const {
    const QWidget* w = existing(name);
    return w && w->isVisible();
}

QAction* WindowRegistry::menuEntry(const QString& name) const {
    auto it = entries_.constFind(name);
    return it == entries_.constEnd() ? nullptr : it->menuEntry;
}

void WindowRegistry::toggleWindow(const QString& name) {
    QWidget* w = window(name);
    QAction* entry = menuEntry(name);
    if (!w) return;
    const bool checked = entry ? entry->isChecked() : w->isVisible();
    if (!checked) {
        if (entry) entry->setChecked(true);
        if (w->isMinimized())
            w->showNormal();
        else
            w->show();
    } else {
        if (entry) entry->setChecked(false);
        w->hide();
        if (auto* v = qobject_cast<ViewWindow*>(w)) v->menuHidden();
    }
}

void WindowRegistry::toggleMenuCheck(const QString& name) {
    if (QAction* entry = menuEntry(name)) entry->setChecked(!entry->isChecked());
}

bool WindowRegistry::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Close) {
        for (auto it = entries_.begin(); it != entries_.end(); ++it) {
            if (it->window == watched) {
                const QString name = it.key();
                // Only a window that is shown can be closed; its entry is checked then.
                if (it->menuEntry && it->menuEntry->isChecked()) toggleMenuCheck(name);
                emit closing(name);
                break;
            }
        }
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace pelsid
