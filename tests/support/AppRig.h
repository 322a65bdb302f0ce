#pragma once
#include <gtest/gtest.h>

#include <QAction>
#include <QCoreApplication>
#include <QTemporaryDir>

#include "shell/Application.h"
#include "shell/MainWindow.h"
#include "support/ScriptedDialogs.h"

namespace pelsid {

/// The application as the shell tests drive it: scripted dialogs, a
/// temporary program folder, started up with the main window hidden.
struct AppRig {
    ScriptedDialogs dialogs;
    QTemporaryDir dir;
    Application app{dialogs, dir.path()};

    AppRig() { app.initApplication(); }
    QAction* entry(const char* name) { return app.mainWindow()->action(QString::fromLatin1(name)); }
    void showAllViews() {
        for (int n = 1; n <= ViewSet::kViewCount; ++n)
            app.registry().toggleWindow(QStringLiteral("frmVis%1").arg(n));
    }
    /// Runs the event loop until the play has ended.
    void waitForPlay() {
        while (app.pipeline().busy()) QCoreApplication::processEvents();
    }
    void closeWindow(const QString& name) {
        QWidget* w = app.registry().existing(name);
        ASSERT_TRUE(w) << name.toStdString();
        w->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
};

}  // namespace pelsid
