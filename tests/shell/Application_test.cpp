#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFontMetrics>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "control/Screenshots.h"
#include "shell/Application.h"
#include "shell/MainWindow.h"
#include "store/Messages.h"
#include "support/AppRig.h"
#include "support/DatasetFile.h"
#include "support/ScriptedDialogs.h"
#include "support/WaitForLoad.h"
#include "views/ByteFrequencyWindow.h"
#include "views/TextRainfallWindow.h"
#include "widgets/SurfaceWidget.h"

using namespace pelsid;
using namespace pelsid::test;

namespace {

using Rig = AppRig;
}  // namespace

TEST(Application, StartsWithOnlyTheMainWindowAndNoChecks) {
    Rig r;
    EXPECT_TRUE(r.app.registry().existing("frmEncodings"));
    for (const char* e : {"ToolCapture", "ToolFilters", "ToolEncodings", "vis1", "vis4", "vis7"}) {
        ASSERT_TRUE(r.entry(e)) << e;
        EXPECT_FALSE(r.entry(e)->isChecked()) << e;
    }
    for (const char* e :
         {"LoadPreferences", "SaveSettings", "SaveData", "SaveScreenshot", "ToolLogging"})
        EXPECT_FALSE(r.entry(e)->isVisible()) << e;
    EXPECT_EQ(r.entry("LoadData")->text(), "&Load Pelsid Dataset");
    EXPECT_FALSE(r.app.isShown(0));
}

TEST(Application, MenuThumbnailAndDetailButtonToggleWindows) {
    Rig r;
    r.entry("vis1")->trigger();
    EXPECT_TRUE(r.entry("vis1")->isChecked());
    EXPECT_TRUE(r.app.isShown(0));
    r.entry("vis1")->trigger();
    EXPECT_FALSE(r.entry("vis1")->isChecked());
    EXPECT_FALSE(r.app.isShown(0));

    QTest::mouseClick(r.app.mainWindow()->thumbnail(4), Qt::LeftButton);
    EXPECT_TRUE(r.app.isShown(3));
    r.entry("vis4")->trigger();  // shown by its thumbnail, hidden by the menu
    EXPECT_FALSE(r.app.isShown(3));
    EXPECT_FALSE(r.entry("vis4")->isChecked());

    auto* detail = r.app.mainWindow()->findChild<QPushButton*>("tglDetail");
    detail->click();
    EXPECT_TRUE(r.app.isShown(6));
    detail->click();
    EXPECT_FALSE(r.app.isShown(6));
}

TEST(Application, CloseBoxDiscardsAndTheNextTouchRecreatesWithDefaults) {
    Rig r;
    r.entry("vis1")->trigger();
    auto* mode = r.app.registry().existing("frmVis1")->findChild<QComboBox*>("cmbVisMode");
    mode->setCurrentIndex(2);
    r.closeWindow("frmVis1");
    EXPECT_FALSE(r.entry("vis1")->isChecked());
    EXPECT_FALSE(r.app.registry().existing("frmVis1"));
    r.entry("vis1")->trigger();
    EXPECT_EQ(
        r.app.registry().existing("frmVis1")->findChild<QComboBox*>("cmbVisMode")->currentText(),
        "ASCII");

    // The Filters window's close brings classes and colours back to their defaults.
    r.entry("ToolEncodings")->trigger();
    r.app.registry().existing("frmEncodings")->findChild<QPushButton*>("tglTCP")->click();
    r.app.filters().setColor(ProtocolClass::UDP, 1);
    EXPECT_TRUE(r.app.filters().isFilteredOut(6));
    std::string error;
    ASSERT_TRUE(r.app.filters().setDisplayFilter("arp", &error));
    ASSERT_TRUE(r.app.filters().addColorRule("ip6", 1, &error));
    r.closeWindow("frmEncodings");
    EXPECT_FALSE(r.app.filters().isFilteredOut(6));
    EXPECT_EQ(r.app.filters().protocolColor(17), 33023u);
    EXPECT_EQ(r.app.filters().displayFilter(), "");
    EXPECT_TRUE(r.app.filters().colorRules().empty());
    r.entry("ToolEncodings")->trigger();
    EXPECT_TRUE(r.app.registry()
                    .existing("frmEncodings")
                    ->findChild<QLineEdit*>("txtDisplayFilter")
                    ->text()
                    .isEmpty());
}

TEST(Application, LoaderRefusesAWrongMagicWithoutTouchingTheBuffer) {
    Rig r;
    const QString good = writeDataset(r.dir, "good.pelsid", 3);
    ASSERT_TRUE(r.app.loadDataset(good));
    r.waitForPlay();
    QFile bad(r.dir.filePath("bad.txt"));
    bad.open(QIODevice::WriteOnly);
    bad.write("<pelsid>abcdef");
    bad.close();
    EXPECT_FALSE(r.app.loadDataset(bad.fileName()));
    ASSERT_EQ(r.dialogs.messages.size(), 1u);
    EXPECT_EQ(r.dialogs.messages[0].text,
              std::string(msg::kNotPelsidFile) + "\n\n" + bad.fileName().toStdString());
    EXPECT_EQ(r.dialogs.messages[0].title, "Warning");
    EXPECT_TRUE(r.dialogs.questions.empty());
    EXPECT_EQ(r.app.buffer().newestHeld(), 3);
}

TEST(Application, LoaderAsksBeforeOverwritingAndPlaysWhatItStored) {
    Rig r;
    ASSERT_TRUE(r.app.loadDataset(writeDataset(r.dir, "a.pelsid", 2)));
    r.waitForPlay();
    EXPECT_TRUE(r.dialogs.questions.empty());  // an empty buffer asks nothing

    r.dialogs.answers = {false};
    ASSERT_TRUE(r.app.loadDataset(writeDataset(r.dir, "b.pelsid", 3)));
    r.waitForPlay();
    ASSERT_EQ(r.dialogs.questions.size(), 1u);
    EXPECT_EQ(r.dialogs.questions[0].text, msg::kVerifyBufferDelete);
    EXPECT_EQ(r.dialogs.questions[0].title, "Verify Buffer Delete");
    EXPECT_EQ(r.app.buffer().newestHeld(), 5);
    EXPECT_EQ(r.app.pipeline().lastPlayed(), 5);  // the new packets 3..5, not 1..3
    auto* rain = static_cast<TextRainfallWindow*>(r.app.viewWindow(0));
    EXPECT_EQ(rain->renderer().thumbnailScrollLocation(), 3);

    r.dialogs.answers = {true};
    ASSERT_TRUE(r.app.loadDataset(writeDataset(r.dir, "c.pelsid", 4)));
    r.waitForPlay();
    EXPECT_EQ(r.app.buffer().newestHeld(), 4);
    EXPECT_EQ(r.app.pipeline().lastPlayed(), 4);
}

TEST(Application, LoaderKeepsTheFirst30000Records) {
    Rig r;
    ASSERT_TRUE(r.app.loadDataset(writeDataset(r.dir, "big.pelsid", 30001)));
    EXPECT_EQ(r.app.buffer().newestHeld(), 30000);
    ASSERT_EQ(r.dialogs.messages.size(), 1u);
    EXPECT_EQ(r.dialogs.messages[0].text,
              "Packets in file exceeded buffer.  Only the first 30000 packets will be used.");
    EXPECT_EQ(r.dialogs.messages[0].icon, Dialogs::Icon::None);
    r.app.exit();  // ends the play at once
    EXPECT_FALSE(r.app.pipeline().busy());
}

TEST(Application, OpenDatasetStartsBesideTheSampleThenWhereTheLastFileWas) {
    Rig r;
    QTemporaryDir elsewhere;
    r.dialogs.files = {writeDataset(elsewhere, "x.pelsid", 1).toStdString()};
    r.entry("LoadData")->trigger();
    waitForLoad(r.app);  // the file is read as a job
    ASSERT_EQ(r.dialogs.fileFolders.size(), 1u);
    EXPECT_EQ(r.dialogs.fileFolders[0], r.app.programFolder().toStdString());
    EXPECT_EQ(r.dialogs.questions[0].title, "Open pelsid dataset");
    EXPECT_EQ(r.app.buffer().newestHeld(), 1);
    r.entry("LoadData")->trigger();  // cancelled: nothing happens
    EXPECT_EQ(r.app.buffer().newestHeld(), 1);
    ASSERT_EQ(r.dialogs.fileFolders.size(), 2u);
    EXPECT_EQ(r.dialogs.fileFolders[1], elsewhere.path().toStdString());
}

TEST(Application, HiddenViewsKeepTheirThumbnailsRunning) {
    Rig r;
    ASSERT_TRUE(r.app.loadDataset(writeDataset(r.dir, "t.pelsid", 10)));
    r.waitForPlay();
    EXPECT_EQ(
        static_cast<TextRainfallWindow*>(r.app.viewWindow(0))->renderer().thumbnailScrollLocation(),
        10);
    EXPECT_FALSE(r.app.isShown(0));
}

// The border lives with the thumbnails; the main window shows a change at
// once, and hiding the byte frequency view from its menu entry takes it off.
TEST(Application, ThumbnailBorderShowsAsSoonAsItChanges) {
    Rig r;
    r.entry("vis2")->trigger();
    auto* view = qobject_cast<ByteFrequencyWindow*>(r.app.viewWindow(1));
    ASSERT_TRUE(view);
    view->renderer().grayVisThumb();
    EXPECT_TRUE(r.app.mainWindow()->thumbnail(2)->bordered());
    EXPECT_FALSE(r.app.mainWindow()->thumbnail(4)->bordered());
    r.entry("vis2")->trigger();
    EXPECT_FALSE(r.app.thumbnails().bordered(2));
    EXPECT_FALSE(r.app.mainWindow()->thumbnail(2)->bordered());
}

TEST(Screenshots, StampNamesAndFailedWrite) {
    EXPECT_EQ(screenshotStamp(QDateTime(QDate(2026, 2, 1), QTime(9, 5, 7))), "20260201_090507");
    Rig r;
    EXPECT_TRUE(r.app.saveScreenshots());
    EXPECT_TRUE(QDir(r.app.programFolder())
                    .entryList({"*.bmp"})
                    .isEmpty());               // no view shown, nothing written
    ASSERT_EQ(r.dialogs.messages.size(), 1u);  // but said so
    EXPECT_NE(r.dialogs.messages[0].text.find("No view is shown"), std::string::npos);
    r.entry("vis1")->trigger();
    r.entry("vis4")->trigger();
    ASSERT_TRUE(r.app.saveScreenshots());
    const QStringList files = QDir(r.app.programFolder()).entryList({"*.bmp"});
    ASSERT_EQ(files.size(), 2);
    EXPECT_TRUE(files[0].endsWith("_binaryrainfall.bmp"));
    EXPECT_TRUE(files[1].endsWith("_textrainfall.bmp"));
    EXPECT_EQ(files[0].left(15), files[1].left(15));

    EXPECT_FALSE(r.app.saveScreenshots(r.dir.filePath("no/such/folder")));
    ASSERT_FALSE(r.dialogs.messages.empty());
    EXPECT_NE(r.dialogs.messages.back().text.find("no/such/folder"), std::string::npos);
}

// What the window system delivers for a double-click: the second press comes as a double-click.
void doubleClick(QWidget* w, Qt::MouseButton button) {
    QTest::mousePress(w, button);
    QTest::mouseRelease(w, button);
    QTest::mouseDClick(w, button);
    QTest::mouseRelease(w, button);
}

TEST(Application, ThumbnailDoubleClickIsOneClickAndOnlyTheLeftButtonToggles) {
    Rig r;
    QWidget* thumb = r.app.mainWindow()->thumbnail(4);
    doubleClick(thumb, Qt::LeftButton);
    EXPECT_TRUE(r.app.isShown(3));
    EXPECT_TRUE(r.entry("vis4")->isChecked());
    for (Qt::MouseButton other : {Qt::RightButton, Qt::MiddleButton}) {
        QTest::mouseClick(thumb, other);
        doubleClick(thumb, other);
        EXPECT_TRUE(r.app.isShown(3)) << other;
    }
    QTest::mouseClick(thumb, Qt::LeftButton);
    EXPECT_FALSE(r.app.isShown(3));
    doubleClick(thumb, Qt::LeftButton);
    EXPECT_TRUE(r.app.isShown(3));
}

TEST(Application, AboutExistsAtMostOnce) {
    Rig r;
    auto abouts = [] {
        int n = 0;
        for (QWidget* w : QApplication::allWidgets())
            if (w->objectName() == QLatin1String("frmAbout")) ++n;
        return n;
    };
    r.entry("HelpAbout")->trigger();
    r.entry("HelpAbout")->trigger();
    EXPECT_EQ(abouts(), 1);
    QWidget* about = r.app.registry().existing("frmAbout");
    ASSERT_TRUE(about);
    EXPECT_TRUE(about->isVisible());
    r.closeWindow("frmAbout");
    EXPECT_EQ(abouts(), 0);
    r.entry("HelpAbout")->trigger();
    EXPECT_EQ(abouts(), 1);
}

TEST(Application, ExitAsksToQuitAndLeavesOtherEventLoopsAlone) {
    Rig r;
    QSignalSpy quit(&r.app, &Application::quitRequested);
    r.app.exit();
    EXPECT_EQ(quit.count(), 1);
    // A later event loop in the same process still runs until it is told to stop.
    QEventLoop loop;
    bool ran = false;
    QTimer::singleShot(0, &loop, [&] {
        ran = true;
        loop.exit(7);
    });
    EXPECT_EQ(loop.exec(), 7);
    EXPECT_TRUE(ran);
}

// A window manager may keep an icon and three buttons on a fixed window's
// title bar (openbox does): about 104 pixels besides the caption's own width.
TEST(Application, EveryFixedWindowLeavesItsCaptionRoomInTheTitleBar) {
    Rig r;
    QFont bold = QApplication::font();
    bold.setBold(true);
    const QFontMetrics metrics(bold);
    for (const char* name :
         {"frmFilters", "frmEncodings", "frmCapture", "frmLogging", "frmAbout", "frmSettings",
          "frmLoadPreferences", "frmSavePreferences", "frmSaveDataset", "frmSaveScreenshots"}) {
        if (!r.app.registry().has(name)) continue;
        QWidget* w = r.app.registry().window(name);
        if (w->minimumWidth() != w->maximumWidth()) continue;  // the user can widen it
        EXPECT_GE(w->width(), metrics.horizontalAdvance(w->windowTitle()) + 104)
            << name << " \"" << w->windowTitle().toStdString() << "\"";
    }
}
