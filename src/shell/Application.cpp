#include "shell/Application.h"

#include <QAction>
#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QKeySequence>
#include <QPushButton>
#include <QScreen>

#include "control/CaptureSession.h"
#include "control/CaptureWindow.h"
#include "control/FiltersWindow.h"
#include "control/GoToPacket.h"
#include "control/PcapCaptureSource.h"
#include "control/PlaceholderWindow.h"
#include "control/PlaybackController.h"
#include "control/PvrWindow.h"
#include "control/Screenshots.h"
#include "control/SettingsWindow.h"
#include "shell/AboutWindow.h"
#include "shell/ExportController.h"
#include "shell/LoadController.h"
#include "shell/LoadPartDialog.h"
#include "shell/LoggingWindow.h"
#include "shell/MainWindow.h"
#include "shell/OverviewWindow.h"
#include "shell/PlaybackKeys.h"
#include "shell/WindowPlacement.h"
#include "store/CaptureFile.h"
#include "store/Dialogs.h"

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
    if (entry == QLatin1String("ToolOverview")) return QStringLiteral("frmOverview");
    return {};
}

Application::Application(Dialogs& dialogs, const QString& programFolder, QObject* parent)
    : QObject(parent),
      dialogs_(dialogs),
      programFolder_(programFolder),
      captureSource_([] { return std::make_unique<PcapCaptureSource>(); }) {
    pipeline_ = std::make_unique<Pipeline>(buffer_, filters_, *this);
    PlaybackController::Hooks hooks;
    hooks.rangeChosen = [this] {
        for (int i = 0; i < ViewSet::kViewCount; ++i)
            if (ViewRenderer* r = renderers_.existing(i)) r->rangeChosen();
    };
    playback_ = std::make_unique<PlaybackController>(buffer_, *pipeline_, hooks);
    connect(playback_.get(), &PlaybackController::positionChanged, this,
            &Application::updateOverviewMarks);
    main_ = std::make_unique<MainWindow>(thumbnails_);
    LoadController::Hooks loadHooks;
    loadHooks.storing = [this](const QString& path, const LoadChoice& choice) {
        noteLoaded(path, choice);
    };
    loadHooks.showCounters = [this] { updatePacketCounters(); };
    loadHooks.playback = [this]() -> PlaybackController& { return playback(); };
    load_ = std::make_unique<LoadController>(buffer_, *pipeline_, dialogs_, folders_, main_.get(),
                                             loadHooks);
    connect(load_.get(), &LoadController::finished, this, &Application::loadFinished);
    export_ = std::make_unique<ExportController>(
        buffer_, dialogs_, folders_, [this]() -> PlaybackController& { return playback(); });
    connect(export_.get(), &ExportController::finished, this, &Application::exportFinished);
    registerWindows();
    connect(&registry_, &WindowRegistry::created, this, &Application::equipWindow);
    drop_.watch(main_.get());
    main_->action(QStringLiteral("LoadData"))->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    main_->action(QStringLiteral("exit"))->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    buffer_.setListener([this](const PacketBuffer& buffer) {
        // A selection made before a re-initialisation would name another packet after it.
        if (buffer.generation() != selectionGeneration_) {
            selectionGeneration_ = buffer.generation();
            selection_.clear();
        }
        packetCountChanged();
    });
    // The overview counts every frame captured, those the ring drops too.
    connect(pipeline_.get(), &Pipeline::captured, this, [this](const FrameBatch& batch) {
        capturedLast_ = true;
        if (OverviewWindow* w = overview()) w->addCaptured(batch);
    });
    countersDue_.setSingleShot(true);
    connect(&countersDue_, &QTimer::timeout, this, &Application::updatePacketCounters);

    connect(main_.get(), &MainWindow::loadDataRequested, this, &Application::openDataset);
    connect(main_.get(), &MainWindow::loadPartRequested, this, &Application::openPartOfCapture);
    connect(main_.get(), &MainWindow::exportRequested, export_.get(),
            &ExportController::exportPackets);
    connect(main_.get(), &MainWindow::exitRequested, this, &Application::exit);
    connect(main_.get(), &MainWindow::aboutRequested, this, [this] {
        QWidget* about = registry_.window(QStringLiteral("frmAbout"));
        about->show();
        about->raise();
        about->activateWindow();
    });
    connect(main_.get(), &MainWindow::toggleRequested, this,
            [this](const QString& entry) { registry_.toggleWindow(windowOfEntry(entry)); });
    connect(main_.get(), &MainWindow::placeholderRequested, this, [this](const QString& name) {
        if (QWidget* w = registry_.window(name)) w->show();
    });
}

Application::~Application() {
    load_->cancel();
    export_.reset();  // waits for the file to be finished
    // The capture thread is joined before any window it feeds goes.
    stopCapture();
    pipeline_->cancelAll();
    // Windows go before the state they borrow.
    registry_.deleteWindows();
}

void Application::registerWindows() {
    auto entry = [this](const char* name) { return main_->action(QString::fromLatin1(name)); };
    for (int i : {0, 1, 2, 4, 5, 3, 6})
        registry_.add(
            kViewNames[i], entry(qPrintable(QStringLiteral("vis%1").arg(i + 1))), [this, i] {
                ViewWindow* w = renderers_.makeWindow(i, context_);
                views_[std::size_t(i)] = w;
                // A view closed starts afresh: its renderer goes with its window.
                connect(w, &QObject::destroyed, this, [this, i] { renderers_.discard(i); });
                return w;
            });
    registry_.add(QStringLiteral("frmEncodings"), entry("ToolEncodings"),
                  [this] { return new FiltersWindow(filters_, dialogs_); });
    // New windows open beside the main window, cascaded, rather than over it.
    connect(&registry_, &WindowRegistry::created, this, [this](const QString&, QWidget* w) {
        const QScreen* screen = main_->screen();
        const QRect available =
            screen ? screen->availableGeometry() : QRect(0, 0, 1 << 20, 1 << 20);
        w->move(cascadePosition(main_->frameGeometry(), w->size() + kFrameAllowance, cascade_,
                                available));
        ++cascade_;
    });
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
    registry_.add(QStringLiteral("frmFilters"), entry("ToolFilters"),
                  [this] { return new PvrWindow(*playback_, [this] { saveScreenshots(); }); });
    registry_.add(QStringLiteral("frmOverview"), entry("ToolOverview"), [this] {
        auto* w = new OverviewWindow(filters_);
        connect(w, &OverviewWindow::loadRequested, this,
                [this](const QString& path, const LoadChoice& choice) { startLoad(path, choice); });
        connect(w, &OverviewWindow::seekRequested, this, &Application::seekTo);
        connect(w, &OverviewWindow::scanned, this, &Application::updateOverviewMarks);
        if (!lastLoaded_.isEmpty()) w->showFile(lastLoaded_, lastChoice_);
        return w;
    });
    registry_.add(QStringLiteral("frmCapture"), entry("ToolCapture"),
                  [this] { return new CaptureWindow(captureSession(), dialogs_); });
    for (auto kind :
         {PlaceholderWindow::Kind::LoadPreferences, PlaceholderWindow::Kind::SavePreferences,
          PlaceholderWindow::Kind::SaveDataset, PlaceholderWindow::Kind::SaveScreenshots})
        registry_.add(PlaceholderWindow::nameOf(kind), nullptr,
                      [kind] { return new PlaceholderWindow(kind); });
    registry_.add(QStringLiteral("frmSettings"), nullptr,
                  [this] { return new SettingsWindow(dialogs_); });
    registry_.add(QStringLiteral("frmAbout"), nullptr, [] { return new AboutWindow; });
}

void Application::equipWindow(const QString& name, QWidget* window) {
    const bool isPvr = name == QLatin1String("frmFilters");
    if (!isPvr && !name.startsWith(QLatin1String("frmVis"))) return;
    addPlaybackKeys(window, [this]() -> PlaybackController& { return playback(); });
    addGoToKey(window, [this] { goTo(); });
    if (isPvr)
        showPlaybackKeys(window);
    else
        drop_.watch(window);
}

void Application::initApplication() {
    buffer_.initBuffer();
    pvr();
    registry_.window(QStringLiteral("frmEncodings"));
    axes_.setDefaults();
}

void Application::showMainWindow() {
    main_->show();
}

void Application::packetCountChanged() {
    constexpr int kFrameMs = 16;
    const qint64 since = countersShown_.isValid() ? countersShown_.elapsed() : kFrameMs;
    if (since >= kFrameMs)
        updatePacketCounters();
    else if (!countersDue_.isActive())
        countersDue_.start(int(kFrameMs - since));
}

void Application::updatePacketCounters() {
    countersDue_.stop();
    countersShown_.start();
    playback_->bufferChanged();
    updateOverviewMarks();
}

OverviewWindow* Application::overview() const {
    return qobject_cast<OverviewWindow*>(registry_.existing(QStringLiteral("frmOverview")));
}

void Application::updateOverviewMarks() {
    OverviewWindow* w = overview();
    if (!w || !w->isVisible()) return;
    const int oldest = buffer_.oldestHeld(), newest = buffer_.newestHeld();
    // Times place packets on a timed strip; the held span only means
    // something while the buffer holds what the strip shows.
    const bool same = w->path().isEmpty() ? capturedLast_ : w->path() == heldFrom_;
    if (!same || !w->timed() || newest < oldest || !buffer_.captureTime(oldest).known ||
        !buffer_.captureTime(newest).known) {
        w->setHeld(std::nullopt, std::nullopt);
        return;
    }
    const int at = playback_->position();
    std::optional<std::int64_t> cursor;
    if (at >= oldest && at <= newest && buffer_.captureTime(at).known)
        cursor = epochNanoseconds(buffer_.captureTime(at));
    w->setHeld(std::make_pair(epochNanoseconds(buffer_.captureTime(oldest)),
                              epochNanoseconds(buffer_.captureTime(newest))),
               cursor);
}

void Application::showOverview(const QString& path, const LoadChoice& choice) {
    lastLoaded_ = path;
    lastChoice_ = choice;
    const QString name = QStringLiteral("frmOverview");
    const bool made = registry_.existing(name) != nullptr;
    if (!registry_.isShown(name)) registry_.toggleWindow(name);
    // A window just made starts its own pass over the file.
    if (made) overview()->showFile(path, choice);
    overview()->raise();
}

void Application::goTo() {
    const std::string typed = dialogs_.askText(
        "Go to",
        "Packet number, time of day (13:20:30, local; 13:20:30 UTC) or seconds after "
        "the first packet held (+2.5):");
    if (typed.empty()) return;
    const CaptureTime& first = buffer_.captureTime(buffer_.oldestHeld());
    const long offset =
        first.known ? QDateTime::fromSecsSinceEpoch(first.seconds).offsetFromUtc() : 0;
    const GoToResult to = goToPacket(buffer_, typed, offset);
    if (to.packet == 0) {
        dialogs_.message(Dialogs::Icon::Information, "Go to", to.problem);
        return;
    }
    playback().goTo(to.packet);
}

void Application::seekTo(std::int64_t at) {
    if (const int n = packetAtOrAfter(buffer_, at)) playback().goTo(n);
}

void Application::stopCapture() {
    if (capture_) capture_->stop();
}

CaptureSession& Application::captureSession() {
    if (!capture_)
        capture_ =
            std::make_unique<CaptureSession>(captureSource_(), buffer_, *pipeline_, dialogs_);
    return *capture_;
}

PvrWindow* Application::pvr() {
    return qobject_cast<PvrWindow*>(registry_.window(QStringLiteral("frmFilters")));
}

PlaybackController& Application::playback() {
    pvr();
    return *playback_;
}

PacketView& Application::view(int index) {
    return renderers_.at(index);
}

ViewWindow* Application::viewWindow(int index) {
    QPointer<ViewWindow>& v = views_[std::size_t(index)];
    if (!v) v = qobject_cast<ViewWindow*>(registry_.window(kViewNames[index]));
    return v.data();
}

bool Application::isShown(int index) {
    if (const ViewWindow* v = views_[std::size_t(index)].data()) return v->isVisible();
    return registry_.isShown(kViewNames[index]);
}

void Application::openDataset() {
    const std::string path =
        dialogs_.openFileName("Open pelsid dataset", folders_.openStart().toStdString());
    if (!path.empty()) startLoad(QString::fromStdString(path));
}

void Application::openPartOfCapture() {
    const std::string path =
        dialogs_.openFileName("Load part of a capture", folders_.openStart().toStdString());
    if (path.empty()) return;
    delete partDialog_;
    partDialog_ = new LoadPartDialog(QString::fromStdString(path), main_.get());
    partDialog_->setAttribute(Qt::WA_DeleteOnClose);
    connect(partDialog_, &QDialog::accepted, this,
            [this, dialog = partDialog_.data()] { startLoad(dialog->path(), dialog->choice()); });
    connect(
        partDialog_, &LoadPartDialog::overviewRequested, this,
        [this, dialog = partDialog_.data()] { showOverview(dialog->path(), dialog->choice()); });
    partDialog_->open();
}

void Application::startLoad(const QString& path, const LoadChoice& choice) {
    load_->start(path, choice);
}

bool Application::loading() const {
    return load_->loading();
}

bool Application::loadDataset(const QString& path, const LoadChoice& choice) {
    return load_->load(path, choice);
}

bool Application::loadDataset(const QString& path, const CaptureFile& file) {
    return load_->load(path, file);
}

void Application::noteLoaded(const QString& path, const LoadChoice& choice) {
    heldFrom_ = path;
    capturedLast_ = false;
    if (path == lastLoaded_ && choice.filter == lastChoice_.filter) return;
    lastLoaded_ = path;
    lastChoice_ = choice;
    if (OverviewWindow* w = overview()) w->showFile(path, lastChoice_);
}

void Application::exportPackets() {
    export_->exportPackets();
}

bool Application::exporting() const {
    return export_->exporting();
}

bool Application::saveScreenshots(const QString& folder) {
    std::vector<const ViewRenderer*> shown;
    for (int i = 0; i < 6; ++i)
        if (isShown(i)) shown.push_back(&renderers_.at(i));
    OverviewWindow* strip = overview();
    const bool withOverview = strip && strip->isVisible();
    if (shown.empty() && !withOverview) {
        // Saving nothing without a word would look like a button that does not work.
        dialogs_.message(Dialogs::Icon::Information, "Screenshots",
                         "No view is shown, so there is nothing to save. Open a view from the "
                         "View menu first.");
        return true;
    }
    bool movedAway = false;
    const QString target = folder.isEmpty() ? folders_.screenshots(&movedAway) : folder;
    const QString stamp = screenshotStamp(QDateTime::currentDateTime());
    QString error = pelsid::saveScreenshots(shown, target, stamp);
    const QString overviewFile = QDir(target).filePath(stamp + QStringLiteral("_overview.bmp"));
    if (error.isEmpty() && withOverview && !strip->picture().save(overviewFile, "BMP"))
        error = QStringLiteral("Could not write %1.").arg(QDir::toNativeSeparators(overviewFile));
    if (error.isEmpty()) {
        // Screenshots outside the program's folder would be hard to find
        // unless we say where they went, once.
        if (movedAway && !toldScreenshotFolder_) {
            toldScreenshotFolder_ = true;
            dialogs_.message(Dialogs::Icon::Information, "Screenshots",
                             QStringLiteral("Screenshots are saved in %1.")
                                 .arg(QDir::toNativeSeparators(target))
                                 .toStdString());
        }
        return true;
    }
    dialogs_.message(Dialogs::Icon::Critical, "Screenshots", error.toStdString());
    return false;
}

void Application::exit() {
    load_->cancel();
    stopCapture();
    pipeline_->cancelAll();
    emit quitRequested();
}

}  // namespace pelsid
