// Loading as a job: the file is read on its own thread while the windows stay
// live, the progress window shows how far it got, Exit ends it at any moment,
// and "Load Part of a Capture..." chooses which frames to load.
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <QAction>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>
#include <thread>

#include <QScreen>
#include "shell/Application.h"
#include "shell/LoadPartDialog.h"
#include "shell/MainWindow.h"
#include "support/DatasetFile.h"
#include "support/ScriptedDialogs.h"
#include "support/WaitForLoad.h"

using namespace pelsid;
using namespace pelsid::test;

namespace {
struct Rig {
    ScriptedDialogs dialogs;
    QTemporaryDir dir;
    Application app{dialogs, dir.path()};
    Rig() { app.initApplication(); }
    QWidget* progress() {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->objectName() == QLatin1String("frmLoadDataset")) return w;
        return nullptr;
    }
    QString status() { return progress()->findChild<QLabel*>("lblFileLoadStatusVariable")->text(); }
};

// A FIFO fed by a writer thread that the test controls.
struct Fifo {
    QString path;
    explicit Fifo(const QTemporaryDir& dir) : path(dir.filePath("feed.fifo")) {
        ::signal(SIGPIPE, SIG_IGN);
        ::mkfifo(path.toLocal8Bit().constData(), 0600);
    }
};
}  // namespace

TEST(LoadJob, ProgressWindowShowsTheReadAndCompletesOnlyAtItsEnd) {
    Rig r;
    Fifo fifo(r.dir);
    std::atomic<bool> more = false;
    std::thread writer([&] {
        const int fd = ::open(fifo.path.toLocal8Bit().constData(), O_WRONLY);
        std::string records = "<PELSID>";
        for (int i = 0; i < 50; ++i) records += std::string(60, 'a') + "<PELSID[CR][LF]>";
        ::write(fd, records.data(), records.size());
        while (!more) std::this_thread::sleep_for(std::chrono::milliseconds(5));
        ::close(fd);
    });
    r.app.startLoad(fifo.path);
    ASSERT_TRUE(r.app.loading());
    ASSERT_TRUE(r.progress() && r.progress()->isVisible());
    auto* bar = r.progress()->findChild<QProgressBar*>("pbProcessing");
    // While the writer waits, the records so far are counted and the status stays.
    QTRY_VERIFY_WITH_TIMEOUT(bar->format().contains(QStringLiteral("50 records")), 5000);
    EXPECT_TRUE(bar->format().contains(QStringLiteral("808 bytes read")));
    EXPECT_EQ(r.status(), "In Progress");
    EXPECT_EQ(r.app.buffer().newestHeld(), 0);
    more = true;
    waitForLoad(r.app);
    writer.join();
    EXPECT_EQ(r.status(), "Completed");
    EXPECT_EQ(r.app.buffer().newestHeld(), 50);
    EXPECT_FALSE(r.progress()->isVisible());
}

TEST(LoadJob, ExitEndsAReadThatNeverEnds) {
    // Nobody writes to the FIFO: the read would wait for ever.
    Rig r;
    Fifo fifo(r.dir);
    r.app.startLoad(fifo.path);
    QTest::qWait(100);
    EXPECT_TRUE(r.app.loading());
    QElapsedTimer clock;
    clock.start();
    r.app.exit();
    EXPECT_LT(clock.elapsed(), 1000);
    EXPECT_FALSE(r.app.loading());
    EXPECT_EQ(r.app.buffer().newestHeld(), 0);
}

TEST(LoadJob, ASecondLoadEndsTheFirstRead) {
    Rig r;
    Fifo fifo(r.dir);
    r.app.startLoad(fifo.path);
    r.app.startLoad(writeDataset(r.dir, "b.pelsid", 4));
    waitForLoad(r.app);
    EXPECT_EQ(r.app.buffer().newestHeld(), 4);
}

// A read that ends while another load asks whether to overwrite is stored
// once that load is done, and asks its own question once.
TEST(LoadJob, AReadEndingDuringAQuestionIsStoredWhenItIsAnswered) {
    struct AskingDialogs : ScriptedDialogs {
        std::function<void()> whileAsking;
        bool question(const std::string& title, const std::string& text) override {
            if (auto f = std::exchange(whileAsking, {})) f();
            return ScriptedDialogs::question(title, text);
        }
    } dialogs;
    QTemporaryDir dir;
    Application app{dialogs, dir.path()};
    app.initApplication();
    ASSERT_TRUE(app.loadDataset(writeDataset(dir, "a.pelsid", 3)));
    int finished = 0;
    QObject::connect(&app, &Application::loadFinished, [&](bool loaded) { finished += loaded; });
    dialogs.whileAsking = [&] {
        app.startLoad(writeDataset(dir, "b.pelsid", 5));
        QTest::qWait(300);  // a modal question runs events: the read ends meanwhile
    };
    ASSERT_TRUE(app.loadDataset(writeDataset(dir, "c.pelsid", 4)));
    EXPECT_EQ(app.buffer().newestHeld(), 4);
    waitForLoad(app);
    EXPECT_EQ(finished, 1);
    EXPECT_EQ(app.buffer().newestHeld(), 5);
    EXPECT_EQ(dialogs.questions.size(), 2u);
}

TEST(LoadJob, LoadPartChoosesFirstFrameAndFilter) {
    Rig r;
    QAction* load = r.app.mainWindow()->action("LoadData");
    QAction* part = r.app.mainWindow()->action("LoadPart");
    ASSERT_TRUE(part);
    EXPECT_EQ(part->text(), "Load &Part of a Capture...");
    const QList<QAction*> entries =
        r.app.mainWindow()->findChild<QMenu*>(QStringLiteral("File"))->actions();
    const int at = int(entries.indexOf(load));
    ASSERT_GE(at, 0);
    EXPECT_EQ(entries.value(at + 1), part);  // right below "&Load Pelsid Dataset"

    // 30 records, every third TCP (records 1, 4, 7, ...).
    r.dialogs.files = {writeDataset(r.dir, "part.pelsid", 30).toStdString()};
    part->trigger();
    LoadPartDialog* dialog = r.app.partDialog();
    ASSERT_TRUE(dialog);
    EXPECT_EQ(r.dialogs.questions.back().title, "Load part of a capture");
    if (dialog->frameCount() < 0) {
        QEventLoop loop;
        QObject::connect(dialog, &LoadPartDialog::counted, &loop, &QEventLoop::quit);
        loop.exec();
    }
    EXPECT_EQ(dialog->frameCount(), 30);
    EXPECT_EQ(dialog->findChild<QLabel*>("lblFrameCount")->text(), "30");
    auto* from = dialog->findChild<QLineEdit*>("txtFirstFrame");
    auto* filter = dialog->findChild<QLineEdit*>("txtFilter");
    auto* message = dialog->findChild<QLabel*>("lblFilterMessage");
    auto* ok = dialog->findChild<QPushButton*>("btnLoadPart");
    QTest::keyClicks(filter, "tcp port");
    EXPECT_FALSE(ok->isEnabled());
    EXPECT_TRUE(message->text().contains("syntax error")) << message->text().toStdString();
    filter->clear();
    QTest::keyClicks(filter, "tcp");
    EXPECT_TRUE(ok->isEnabled());
    EXPECT_TRUE(message->text().isEmpty());
    from->setText("31");
    EXPECT_FALSE(ok->isEnabled());  // past the file's last frame
    from->setText("5");
    EXPECT_TRUE(ok->isEnabled());
    QTest::mouseClick(ok, Qt::LeftButton);
    ASSERT_TRUE(r.app.loading());
    waitForLoad(r.app);
    // TCP records from the fifth on: 7, 10, ..., 28 (index bytes 6, 9, ..., 27).
    ASSERT_EQ(r.app.buffer().newestHeld(), 8);
    EXPECT_EQ(r.app.buffer().getIPProtocol(1), 6);
}

TEST(LoadJob, CancellingTheLoadPartDialogLoadsNothing) {
    Rig r;
    r.dialogs.files = {writeDataset(r.dir, "part.pelsid", 10).toStdString()};
    r.app.mainWindow()->action("LoadPart")->trigger();
    ASSERT_TRUE(r.app.partDialog());
    QTest::mouseClick(r.app.partDialog()->findChild<QPushButton*>("btnCancelPart"), Qt::LeftButton);
    QCoreApplication::processEvents();
    EXPECT_FALSE(r.app.loading());
    EXPECT_EQ(r.app.buffer().newestHeld(), 0);
}

// "Completed" only when the file was read to its end; a load that stopped at
// the buffer's limit says where, and both fill the bar. The window opens on
// the screen even when the main window sits in its corner.
TEST(LoadJob, ProgressSaysWhetherTheFileWasReadToItsEnd) {
    struct Case {
        int records;
        const char* status;
    };
    for (const Case c :
         {Case{30000, "Completed"}, Case{30001, "Stopped after 30000 packets at byte 2280008"}}) {
        Rig r;
        const QRect available = r.app.mainWindow()->screen()->availableGeometry();
        r.app.mainWindow()->move(available.bottomRight() - QPoint(20, 20));
        r.app.startLoad(writeDataset(r.dir, "big.pelsid", c.records));
        EXPECT_TRUE(available.contains(r.progress()->frameGeometry())) << c.records;
        waitForLoad(r.app);
        EXPECT_EQ(r.status(), c.status);
        auto* bar = r.progress()->findChild<QProgressBar*>("pbProcessing");
        EXPECT_EQ(bar->value(), bar->maximum()) << c.records;
        r.app.exit();
    }
}
