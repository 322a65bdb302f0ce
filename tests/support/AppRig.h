#pragma once
#include <gtest/gtest.h>

#include <QAction>
#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include "shell/Application.h"
#include "shell/MainWindow.h"
#include "support/ScriptedDialogs.h"

namespace pelsid::test {

/// The application as the shell tests drive it: scripted dialogs, a
/// temporary build folder as the program's, started up with the main window hidden.
struct AppRig {
    ScriptedDialogs dialogs;
    QTemporaryDir dir;      // the test's own files
    QTemporaryDir program;  // the program's folder, laid out as a build lays it out
    Application app{dialogs, buildFolder(program)};

    AppRig() { app.initApplication(); }
    /// A build folder keeps the sample beside the program, and its screenshots.
    static QString buildFolder(const QTemporaryDir& folder) {
        QFile sample(folder.filePath(QStringLiteral("sample.pelsid")));
        if (sample.open(QIODevice::WriteOnly)) sample.write("<PELSID>");
        return folder.path();
    }
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

}  // namespace pelsid::test
