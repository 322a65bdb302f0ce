#include "shell/PlaybackKeys.h"

#include <QAbstractButton>
#include <QKeySequence>
#include <QShortcut>
#include <QWidget>

namespace pelsid {

namespace {
struct Key {
    Qt::Key key;
    const char* name;
    const char* button;  // empty: Play or Pause, whichever the state calls for
};
constexpr Key kKeys[] = {{Qt::Key_Space, "Space", ""},
                         {Qt::Key_Left, "Left", "btnStepBackward"},
                         {Qt::Key_Right, "Right", "btnStepForward"},
                         {Qt::Key_Home, "Home", "btnStop"}};

QAbstractButton* button(QWidget* pvr, const char* name) {
    return pvr ? pvr->findChild<QAbstractButton*>(QLatin1String(name)) : nullptr;
}

void press(QWidget* pvr, const Key& key) {
    if (*key.button) {
        if (QAbstractButton* b = button(pvr, key.button)) b->click();
        return;
    }
    // Play stays pressed while playing or paused: then Space works Pause
    // (pauses, or resumes); otherwise it starts playing.
    QAbstractButton* play = button(pvr, "btnPlay");
    QAbstractButton* pause = button(pvr, "btnPause");
    if (!play || !pause) return;
    (play->isChecked() ? pause : play)->click();
}
}  // namespace

void addPlaybackKeys(QWidget* window, std::function<QWidget*()> pvr) {
    for (const Key& key : kKeys) {
        auto* shortcut = new QShortcut(QKeySequence(key.key), window);
        shortcut->setContext(Qt::WindowShortcut);
        QObject::connect(shortcut, &QShortcut::activated, window,
                         [pvr, &key] { press(pvr(), key); });
    }
}

void addGoToKey(QWidget* window, std::function<void()> goTo) {
    auto* shortcut = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_G), window);
    shortcut->setContext(Qt::WindowShortcut);
    QObject::connect(shortcut, &QShortcut::activated, window, std::move(goTo));
}

void showPlaybackKeys(QWidget* pvr) {
    auto add = [pvr](const char* name, const char* keyName) {
        if (QAbstractButton* b = button(pvr, name))
            b->setToolTip(b->toolTip() + QStringLiteral(" (%1)").arg(QLatin1String(keyName)));
    };
    add("btnPlay", "Space");
    add("btnPause", "Space");
    for (const Key& key : kKeys)
        if (*key.button) add(key.button, key.name);
}

}  // namespace pelsid
