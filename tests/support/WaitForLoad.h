#pragma once
#include <QEventLoop>

#include "shell/Application.h"

namespace pelsid::test {

// Waits for a load begun with startLoad (a menu entry, a drop) to be over.
inline void waitForLoad(Application& app) {
    if (!app.loading()) return;
    QEventLoop loop;
    QObject::connect(&app, &Application::loadFinished, &loop, &QEventLoop::quit);
    loop.exec();
}

}  // namespace pelsid::test
