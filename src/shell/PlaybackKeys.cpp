#include "shell/PlaybackKeys.h"

#include <QAbstractButton>
#include <QKeySequence>
#include <QShortcut>
#include <QWidget>

#include "control/PlaybackController.h"

namespace pelsid {

namespace {
struct Key {
    Qt::Key key;
    const char* name;
    const char* button;  // empty: Play or Pause, whichever the state calls for
    void (PlaybackController::*action)();
};
constexpr Key kKeys[] = {
    {Qt::Key_Space, "Space", "", &PlaybackController::playOrPause},
    {Qt::Key_Left, "Left", "btnStepBackward", &PlaybackController::stepBackward},
    {Qt::Key_Right, "Right", "btnStepForward", &PlaybackController::stepForward},
    {Qt::Key_Home, "Home", "btnStop", &PlaybackController::stop}};

QAbstractButton* button(QWidget* pvr, const char* name) {
    return pvr ? pvr->findChild<QAbstractButton*>(QLatin1String(name)) : nullptr;
}
}  // namespace

void addPlaybackKeys(QWidget* window, std::function<PlaybackController&()> playback) {
    for (const Key& key : kKeys) {
        auto* shortcut = new QShortcut(QKeySequence(key.key), window);
        shortcut->setContext(Qt::WindowShortcut);
        QObject::connect(shortcut, &QShortcut::activated, window, [playback, &key] {
            PlaybackController& p = playback();
            (p.*key.action)();
        });
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
