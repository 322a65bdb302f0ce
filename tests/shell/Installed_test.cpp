#include <gtest/gtest.h>

#include <QAbstractSpinBox>
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QDropEvent>
#include <QEventLoop>
#include <QFile>
#include <QMimeData>
#include <QPushButton>
#include <QStyle>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUrl>

#include "control/PlaybackController.h"
#include "control/PvrWindow.h"
#include "shell/Application.h"
#include "shell/MainWindow.h"
#include "shell/ProgramFolders.h"
#include "support/DatasetFile.h"
#include "support/ScriptedDialogs.h"
#include "support/WaitForLoad.h"

using namespace pelsid;
using namespace pelsid::test;

namespace {

// A folder nobody can create a file in, root included.
QString readOnlyFolder(const QTemporaryDir& dir) {
    const QString folder = dir.filePath("ro");
    QDir().mkpath(folder);
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner);
    return ProgramFolders::canWriteIn(folder) ? QStringLiteral("/proc") : folder;
}

struct Rig {
    ScriptedDialogs dialogs;
    QTemporaryDir dir;
    Application app;
    explicit Rig(const QString& programFolder = {})
        : app(dialogs, programFolder.isEmpty() ? dir.path() : programFolder) {
        app.initApplication();
    }
    void waitForPlay() {
        if (!app.pipeline().busy()) return;
        QEventLoop loop;
        QObject::connect(&app.pipeline(), &Pipeline::finished, &loop, &QEventLoop::quit);
        loop.exec();
    }
    QWidget* shownWindow(const char* entry) {
        app.mainWindow()->action(QString::fromLatin1(entry))->trigger();
        QWidget* w = app.registry().existing(Application::windowOfEntry(entry));
        w->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(w));
        return w;
    }
    QPushButton* pvrButton(const char* name) {
        return app.pvr()->findChild<QPushButton*>(QString::fromLatin1(name));
    }
    int position() { return app.playback().position(); }
};

}  // namespace

// Screenshots stay beside the program only in a writable build folder (the
// sample beside it); an installed program's folder never gets them.
TEST(ProgramFolders, ScreenshotsStayBesideTheProgramOnlyInAWritableBuildFolder) {
    struct Case {
        bool sample, readOnly;
    };
    for (const Case c : {Case{true, false}, Case{false, false}, Case{true, true}}) {
        QTemporaryDir dir, pictures;
        QString program = dir.path();
        if (c.sample) QFile(writeDataset(dir, "sample.pelsid", 1)).close();
        if (c.readOnly) program = readOnlyFolder(dir);
        if (c.readOnly && c.sample && program != QLatin1String("/proc"))
            QFile::copy(dir.filePath("sample.pelsid"), QDir(program).filePath("sample.pelsid"));
        const bool here = c.sample && !c.readOnly;
        bool moved = here;
        const QString folder = ProgramFolders(program, pictures.path()).screenshots(&moved);
        EXPECT_EQ(folder, here ? program : pictures.filePath("pelsid")) << c.sample << c.readOnly;
        EXPECT_EQ(moved, !here);
        if (here) {  // the probe file is gone again
            EXPECT_EQ(QDir(program).entryList(QDir::Files | QDir::Hidden),
                      QStringList{"sample.pelsid"});
        }
    }
}

TEST(ProgramFolders, FileDialogStartsAtHomeUnlessTheSampleIsBesideTheProgram) {
    QTemporaryDir program, home, data;
    ProgramFolders folders(program.path(), {}, home.path());
    EXPECT_EQ(folders.openStart(), home.path());
    QFile(writeDataset(program, "sample.pelsid", 1)).close();
    EXPECT_EQ(folders.openStart(), program.path());
    folders.loaded(writeDataset(data, "x.pelsid", 1));
    EXPECT_EQ(folders.openStart(), data.path());
    folders.loaded(data.filePath("gone.pelsid"));  // a failed name changes nothing
    EXPECT_EQ(folders.openStart(), data.path());
}

TEST(Installed, ScreenshotsOfAReadOnlyProgramSayOnceWhereTheyWent) {
    QTemporaryDir base;
    Rig r(readOnlyFolder(base));
    r.app.mainWindow()->action("vis4")->trigger();
    ASSERT_TRUE(r.app.saveScreenshots());
    ASSERT_TRUE(r.app.saveScreenshots());
    const QString folder = r.app.folders().screenshots();
    EXPECT_EQ(QDir(folder).entryList({"*_binaryrainfall.bmp"}).size() >= 1, true);
    ASSERT_EQ(r.dialogs.messages.size(), 1u);
    EXPECT_EQ(r.dialogs.messages[0].icon, Dialogs::Icon::Information);
    EXPECT_NE(r.dialogs.messages[0].text.find(folder.toStdString()), std::string::npos);
    for (const QString& f : QDir(folder).entryList({"*.bmp"}))
        QFile::remove(QDir(folder).filePath(f));
}

TEST(Installed, PlaybackKeysWorkInViewWindowsAndThePvr) {
    Rig r;
    ASSERT_TRUE(r.app.loadDataset(writeDataset(r.dir, "k.pelsid", 10)));
    r.waitForPlay();
    QWidget* view = r.shownWindow("vis1");
    QPushButton* play = r.pvrButton("btnPlay");
    QPushButton* pause = r.pvrButton("btnPause");
    const QTimer* timer = &r.app.playback().timer();
    ASSERT_TRUE(play && pause);
    EXPECT_EQ(r.position(), 1);

    QTest::keyClick(view, Qt::Key_Right);
    QTest::keyClick(view, Qt::Key_Right);
    EXPECT_EQ(r.position(), 3);
    QTest::keyClick(view, Qt::Key_Left);
    EXPECT_EQ(r.position(), 2);

    QTest::keyClick(view, Qt::Key_Space);  // plays
    EXPECT_TRUE(play->isChecked());
    EXPECT_TRUE(timer->isActive());
    QTest::keyClick(view, Qt::Key_Space);  // pauses
    EXPECT_TRUE(pause->isChecked());
    EXPECT_FALSE(timer->isActive());
    QTest::keyClick(view, Qt::Key_Space);  // resumes
    EXPECT_FALSE(pause->isChecked());
    EXPECT_TRUE(timer->isActive());

    QWidget* pvr = r.shownWindow("ToolFilters");
    QTest::keyClick(pvr, Qt::Key_Home);  // stops, back at the oldest packet
    EXPECT_FALSE(timer->isActive());
    EXPECT_EQ(r.position(), 1);
    EXPECT_TRUE(play->toolTip().endsWith("(Space)"));
    EXPECT_TRUE(r.pvrButton("btnStop")->toolTip().endsWith("(Home)"));
}

TEST(Installed, MenuShortcutsAndDroppedFiles) {
    Rig r;
    QAction* load = r.app.mainWindow()->action("LoadData");
    QAction* exit = r.app.mainWindow()->action("exit");
    EXPECT_EQ(load->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_O));
    EXPECT_EQ(exit->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Q));

    QWidget* view = r.shownWindow("vis4");
    const QString file = writeDataset(r.dir, "drop.pelsid", 7);
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(file)});
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(view, &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(view, &drop);
    EXPECT_TRUE(drop.isAccepted());
    QCoreApplication::processEvents();  // the load runs after the drop returns
    waitForLoad(r.app);
    r.waitForPlay();
    EXPECT_EQ(r.app.buffer().newestHeld(), 7);

    // A second drop on the main window goes through the loader's question: No appends.
    r.dialogs.answers = {false};
    QDragEnterEvent enterMain(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(r.app.mainWindow(), &enterMain);
    EXPECT_TRUE(enterMain.isAccepted());
    QDropEvent again(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(r.app.mainWindow(), &again);
    QCoreApplication::processEvents();
    waitForLoad(r.app);
    r.waitForPlay();
    EXPECT_EQ(r.app.buffer().newestHeld(), 14);
    ASSERT_FALSE(r.dialogs.questions.empty());

    QMimeData folder;  // a folder or several files are refused
    folder.setUrls({QUrl::fromLocalFile(r.dir.path())});
    QDragEnterEvent refused(QPoint(5, 5), Qt::CopyAction, &folder, Qt::LeftButton, Qt::NoModifier);
    refused.setAccepted(false);
    QCoreApplication::sendEvent(view, &refused);
    EXPECT_FALSE(refused.isAccepted());
}

// After a click on a spin box's arrow the keys still reach the PVR, as a real
// key press does: to the window's focus widget, through its shortcuts.
class KeysAfterSpinArrow : public ::testing::TestWithParam<const char*> {};

TEST_P(KeysAfterSpinArrow, StillPlayPauseAndStep) {
    Rig r;
    ASSERT_TRUE(r.app.loadDataset(writeDataset(r.dir, "k.pelsid", 10)));
    r.waitForPlay();
    QWidget* pvr = r.shownWindow("ToolFilters");
    auto* spin = pvr->findChild<QAbstractSpinBox*>(GetParam());
    ASSERT_TRUE(spin);
    const QRect arrows =
        spin->style()->subControlRect(QStyle::CC_SpinBox, nullptr, QStyle::SC_SpinBoxUp, spin);
    const QPoint up = arrows.isValid() && spin->inherits("QDoubleSpinBox")
                          ? arrows.center()
                          : QPoint(spin->width() / 2, 2);
    QTest::mouseClick(spin, Qt::LeftButton, {}, up);
    auto key = [&](Qt::Key k) {
        QWidget* to = QApplication::focusWidget() ? QApplication::focusWidget() : pvr;
        QTest::keyClick(to, k);
    };
    key(Qt::Key_Right);
    EXPECT_EQ(r.position(), 2);
    key(Qt::Key_Space);
    EXPECT_TRUE(r.pvrButton("btnPlay")->isChecked());
    key(Qt::Key_Space);
    EXPECT_TRUE(r.pvrButton("btnPause")->isChecked());
    key(Qt::Key_Home);
    EXPECT_EQ(r.position(), 1);
}

INSTANTIATE_TEST_SUITE_P(Pvr, KeysAfterSpinArrow,
                         ::testing::Values("spnSpeed", "spnRealTimeFactor"));

// Every control of every window lies wholly inside it: nothing is cut.
TEST(Installed, NoControlIsCutByItsWindow) {
    Rig r;
    for (const char* entry : {"vis1", "vis2", "vis3", "vis4", "vis5", "vis6", "vis7", "ToolFilters",
                              "ToolEncodings", "ToolCapture"}) {
        QWidget* w = r.shownWindow(entry);
        for (QWidget* c : w->findChildren<QWidget*>()) {
            if (!c->isVisibleTo(w) || c->isWindow()) continue;
            const QRect inWindow(c->mapTo(w, QPoint(0, 0)), c->size());
            EXPECT_TRUE(w->rect().contains(inWindow))
                << entry << ": " << c->metaObject()->className() << " "
                << c->objectName().toStdString() << " at " << inWindow.x() << "," << inWindow.y()
                << " " << inWindow.width() << "x" << inWindow.height() << " in " << w->width()
                << "x" << w->height();
        }
    }
}
