#include "shell/Application.h"

#include <QAction>
#include <QApplication>
#include <QDateTime>
#include <QFileInfo>
#include <QPushButton>

#include "control/CaptureWindow.h"
#include "control/FiltersWindow.h"
#include "control/PcapCaptureSource.h"
#include "control/Screenshots.h"
#include "shell/MainWindow.h"
#include "shell/PendingViewWindow.h"
#include "shell/SmallWindows.h"
#include "store/CaptureFile.h"
#include "store/Dialogs.h"
#include "views/TextRainfallWindow.h"

namespace pelsid {

namespace {
const QString kViewNames[ViewSet::kViewCount] = {
    QStringLiteral("frmVis1"), QStringLiteral("frmVis2"), QStringLiteral("frmVis3"),
    QStringLiteral("frmVis4"), QStringLiteral("frmVis5"), QStringLiteral("frmVis6"),
    QStringLiteral("frmVis7")};
}  // namespace

QString Application::windowOfEntry(const QString& entry) {
    if (entry.startsWith(QLatin1String("vis"))) return QStringLiteral("frmVis") + entry.mid(3);
    if (entry == QLatin1String("ToolCapture")) return QStringLiteral("frmCapture");
    if (entry == QLatin1String("ToolFilters")) return QStringLiteral("frmFilters");
    if (entry == QLatin1String("ToolEncodings")) return QStringLiteral("frmEncodings");
    if (entry == QLatin1String("ToolLogging")) return QStringLiteral("frmLogging");
    return {};
}

Application::Application(Dialogs& dialogs, const QString& programFolder, QObject* parent)
    : QObject(parent), dialogs_(dialogs), programFolder_(programFolder) {
    pipeline_ = std::make_unique<Pipeline>(buffer_, filters_, *this);
    main_ = std::make_unique<MainWindow>(thumbnails_);
    registerWindows();
    buffer_.setListener([this](const PacketBuffer&) { updatePacketCounters(); });

    connect(main_.get(), &MainWindow::loadDataRequested, this, &Application::openDataset);
    connect(main_.get(), &MainWindow::exitRequested, this, &Application::exit);
    connect(main_.get(), &MainWindow::aboutRequested, this, [this] {
        static_cast<void>(this);
        auto* about = new AboutWindow(main_.get());
        about->setAttribute(Qt::WA_DeleteOnClose);
        about->show();
    });
    connect(main_.get(), &MainWindow::toggleRequested, this,
            [this](const QString& entry) { registry_.toggleWindow(windowOfEntry(entry)); });
    connect(main_.get(), &MainWindow::placeholderRequested, this, [this](const QString& name) {
        if (QWidget* w = registry_.window(name)) w->show();
    });
}

Application::~Application() {
    pipeline_->cancelAll();
    // Windows go before the state they borrow.
    for (const QString& name : kViewNames)
        if (QWidget* w = registry_.existing(name)) delete w;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w != main_.get() && w->parent() == nullptr && w != progress_.get()) delete w;
}

void Application::registerWindows() {
    auto entry = [this](const char* name) { return main_->action(QString::fromLatin1(name)); };
    registry_.add(kViewNames[0], entry("vis1"),
                  [this] { return new TextRainfallWindow(context_); });
    struct Pending {
        const char* caption;
        const char* suffix;
    };
    const Pending pending[] = {{"pelsid: Byte Frequency", "_bytefrequency.bmp"},
                               {"pelsid: Parallel Coordinate Plot", "_parallelcoord.bmp"},
                               {"pelsid: Binary Rainfall", "_binaryrainfall.bmp"},
                               {"pelsid: Scatter Plot", "_scatterplot.bmp"},
                               {"pelsid: Combined Visualization", nullptr},
                               {"detail view", nullptr}};
    for (int i = 1; i < ViewSet::kViewCount; ++i) {
        const Pending p = pending[i - 1];
        const QString name = kViewNames[i];
        const int thumb = i < 6 ? i + 1 : 0;
        registry_.add(name, main_->action(QStringLiteral("vis%1").arg(i + 1)),
                      [this, name, p, thumb] {
                          return new PendingViewWindow(
                              context_, name, QString::fromLatin1(p.caption), p.suffix, thumb);
                      });
    }
    registry_.add(QStringLiteral("frmEncodings"), entry("ToolEncodings"),
                  [this] { return new FiltersWindow(filters_, dialogs_); });
    // Closing the Filters window brings every class and colour back to its default.
    connect(&registry_, &WindowRegistry::closing, this, [this](const QString& name) {
        if (name == QLatin1String("frmEncodings")) filters_.reset();
    });
    registry_.add(QStringLiteral("frmLogging"), entry("ToolLogging"), [this] {
        auto* w = new LoggingWindow;
        connect(w, &LoggingWindow::okClicked, this,
                [this] { registry_.toggleWindow(QStringLiteral("frmLogging")); });
        return w;
    });
    auto placeholder = [](const char* name, const char* caption) {
        return [name, caption] {
            auto* w = new QWidget(nullptr, fixedToolWindowFlags());
            w->setObjectName(QString::fromLatin1(name));
            w->setWindowTitle(QString::fromLatin1(caption));
            w->setFixedSize(312, 213);
            return w;
        };
    };
    registry_.add(QStringLiteral("frmFilters"), entry("ToolFilters"),
                  placeholder("frmFilters", "pelsid: PVR"));
    registry_.add(QStringLiteral("frmCapture"), entry("ToolCapture"), [this] {
        return new CaptureWindow(std::make_unique<PcapCaptureSource>(), buffer_, *pipeline_,
                                 dialogs_);
    });
    registry_.add(QStringLiteral("frmLoadPreferences"), nullptr,
                  placeholder("frmLoadPreferences", "Load Preferences"));
    registry_.add(QStringLiteral("frmSavePreferences"), nullptr,
                  placeholder("frmSavePreferences", "Save Preferences"));
    registry_.add(QStringLiteral("frmSaveDataset"), nullptr,
                  placeholder("frmSaveDataset", "Save Dataset"));
    registry_.add(QStringLiteral("frmSaveScreenshots"), nullptr,
                  placeholder("frmSaveScreenshots", "Save Screen Shots"));
}

void Application::initApplication() {
    buffer_.clearBuffer("startup", dialogs_);
    registry_.window(QStringLiteral("frmEncodings"));
}

void Application::showMainWindow() {
    main_->show();
}

void Application::updatePacketCounters() {}

PacketView& Application::view(int index) {
    return *viewWindow(index);
}

ViewWindow* Application::viewWindow(int index) {
    return static_cast<ViewWindow*>(registry_.window(kViewNames[index]));
}

bool Application::isShown(int index) {
    return registry_.isShown(kViewNames[index]);
}

void Application::openDataset() {
    const std::string path =
        dialogs_.openFileName("Open pelsid dataset", programFolder_.toStdString());
    if (!path.empty()) loadDataset(QString::fromStdString(path));
}

bool Application::loadDataset(const QString& path) {
    if (!progress_) progress_ = std::make_unique<LoadDatasetWindow>();
    LoadDatasetWindow& progress = *progress_;
    progress.setStatus(QStringLiteral("In Progress"));
    progress.show();
    progress.setFile(QFileInfo(path).fileName());

    const CaptureFile file = readCaptureFile(path.toStdString());
    progress.setFileSize(qint64(file.fileSize()));
    progress.setStatus(QStringLiteral("Completed"));
    progress.setRange(qint64(file.fileSize()));

    auto showProblems = [&] {
        for (const LoadProblem& p : file.problems()) dialogs_.message(p.icon, p.title, p.text);
    };
    if (!file.isLoadable()) {
        progress.hide();
        showProblems();
        return false;
    }
    if (buffer_.clearBuffer("file", dialogs_)) pipeline_->cancelAll(), pipeline_->clearAllViews();
    pipeline_->clearAllViews();
    const int first = buffer_.getPacketCount() + 1;
    const int stored = file.insertInto(buffer_);
    if (stored > 0) progress.setProgress(qint64(file.records()[stored - 1].fileEnd));
    showProblems();
    progress.hide();
    pipeline_->playPackets(first, first + stored - 1);
    return true;
}

bool Application::saveScreenshots(const QString& folder) {
    std::vector<ViewWindow*> shown;
    for (int i = 0; i < 6; ++i)
        if (isShown(i)) shown.push_back(viewWindow(i));
    const QString error = pelsid::saveScreenshots(shown, folder.isEmpty() ? programFolder_ : folder,
                                                  screenshotStamp(QDateTime::currentDateTime()));
    if (error.isEmpty()) return true;
    dialogs_.message(Dialogs::Icon::Critical, "Screenshots", error.toStdString());
    return false;
}

void Application::exit() {
    pipeline_->cancelAll();
    QCoreApplication::exit(0);
}

}  // namespace pelsid
