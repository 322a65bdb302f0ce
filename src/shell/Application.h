#pragma once
#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <array>
#include <functional>
#include <memory>

#include "fieldviews/AxisStore.h"
#include "pipeline/FilterModel.h"
#include "pipeline/PacketView.h"
#include "pipeline/Pipeline.h"
#include "shell/FileDrop.h"
#include "shell/LoadPartDialog.h"
#include "shell/ProgramFolders.h"
#include "shell/ViewRenderers.h"
#include "shell/WindowRegistry.h"
#include "store/PacketBuffer.h"
#include "store/ReadOptions.h"
#include "views/Thumbnails.h"
#include "views/ViewWindow.h"

namespace pelsid {

class CaptureFile;
class CaptureSession;
class CaptureSource;
class Dialogs;
class MainWindow;
class ExportController;
class LoadController;
class PlaybackController;
class PvrWindow;

/// The program: owns the buffer, the colour and filter state, the thumbnails,
/// the pipeline, the window registry and the main window, and wires them.
class Application : public QObject, public ViewSet {
    Q_OBJECT
  public:
    using CaptureSourceFactory = std::function<std::unique_ptr<CaptureSource>()>;

    /// `programFolder` is where dialogs start and screenshots go.
    Application(Dialogs& dialogs, const QString& programFolder, QObject* parent = nullptr);
    ~Application() override;

    /// Start-up: initialise the buffer, create the PVR and Filters windows hidden.
    void initApplication();
    void showMainWindow();

    /// File menu: choose a file and load it.
    void openDataset();
    /// File menu: choose a file, then which of its frames to load, and load them.
    void openPartOfCapture();
    /// Shows the overview window with the whole of `path` (the choice's filter).
    void showOverview(const QString& path, const LoadChoice& choice = {});
    /// The dialog of openPartOfCapture while it is open.
    LoadPartDialog* partDialog() const { return partDialog_; }
    /// Loads the chosen frames of a file as a job: the file is read on a
    /// thread while the progress window shows how far it got, then the loader
    /// goes on as loadDataset(path, file) does. A load started while another
    /// reads ends that one first. `loadFinished` tells the outcome.
    void startLoad(const QString& path, const LoadChoice& choice = {});
    /// True while a file is being read for a load.
    bool loading() const;
    /// Loads a dataset or pcap/pcapng file and plays what it stored, reading it
    /// on this thread. False when nothing could be loaded (unreadable file,
    /// wrong format).
    bool loadDataset(const QString& path, const LoadChoice& choice = {});
    /// The same with the file already read (as at start-up, while the
    /// windows are made).
    bool loadDataset(const QString& path, const CaptureFile& file);
    /// File menu: writes the packets held, or only the PVR's buffer range
    /// (the user is asked which when they differ), to a pcap or pcapng file
    /// chosen in a save dialog. The file is written on a thread;
    /// `exportFinished` tells the outcome, a failure also in a message.
    void exportPackets();
    /// True while an export is being written.
    bool exporting() const;
    /// Screenshots of every shown view into `folder` (by default the program
    /// folder, or the user's pictures folder when the program's cannot be
    /// written); a failure is reported through the dialogs. False on failure.
    bool saveScreenshots(const QString& folder = {});
    /// Ends the program at once: a running capture stops first, so no frame
    /// arrives after Exit, then the play ends and quitRequested asks for the
    /// event loop to quit (the process-wide loop is not ours to end).
    void exit();
    /// Where the capture session gets its source: libpcap unless replaced
    /// (tests), before the Capture window first opens.
    void setCaptureSourceFactory(CaptureSourceFactory factory) {
        captureSource_ = std::move(factory);
    }
    /// The live capture, made with its source when first asked for.
    CaptureSession& captureSession();

  signals:
    /// A load begun with startLoad is over; `loaded` as loadDataset returns.
    void loadFinished(bool loaded);
    /// An export begun with exportPackets is over; `written` when the file is in place.
    void exportFinished(bool written);

  public:
    // ViewSet
    PacketView& view(int index) override;
    bool isShown(int index) override;
    /// The window of view `index`, created hidden if needed.
    ViewWindow* viewWindow(int index);
    /// The views' renderers, which the pipeline drives with or without windows.
    ViewRenderers& renderers() { return renderers_; }
    /// The PVR window, created hidden if needed.
    PvrWindow* pvr();
    /// What the PVR plays. The PVR window is opened hidden first when it is
    /// closed, as opening it resets playback: a key or an export then finds
    /// what a fresh PVR would show.
    PlaybackController& playback();

    PacketBuffer& buffer() { return buffer_; }
    FilterModel& filters() { return filters_; }
    Thumbnails& thumbnails() { return thumbnails_; }
    Pipeline& pipeline() { return *pipeline_; }
    PacketSelection& selection() { return selection_; }
    WindowRegistry& registry() { return registry_; }
    MainWindow* mainWindow() { return main_.get(); }
    Dialogs& dialogs() { return dialogs_; }
    const QString& programFolder() const { return programFolder_; }
    ProgramFolders& folders() { return folders_; }

    /// Window name of a menu entry ("vis1" -> "frmVis1").
    static QString windowOfEntry(const QString& entry);

  signals:
    /// Exit asks whoever runs the event loop to end it.
    void quitRequested();

  private:
    void registerWindows();
    /// Keys and drops that every view window and the PVR take.
    void equipWindow(const QString& name, QWidget* window);
    /// The buffer changed: show the counters now, or after the frame being painted.
    void packetCountChanged();
    void updatePacketCounters();
    void stopCapture();
    class OverviewWindow* overview() const;
    /// Marks on the overview what the buffer holds and where the PVR stands.
    void updateOverviewMarks();
    /// Moves the PVR to the first packet held at or after `at` (epoch ns).
    void seekTo(std::int64_t at);
    /// Ctrl+G: asks for a packet number or a time and moves the PVR there.
    void goTo();
    /// The packets of `path` are about to be stored: the overview follows.
    void noteLoaded(const QString& path, const LoadChoice& choice);

    Dialogs& dialogs_;
    QString programFolder_;
    PacketBuffer buffer_;
    FilterModel filters_;
    Thumbnails thumbnails_;
    // The packet picked in a picture, looked up through the pipeline.
    PacketSelection selection_{[this](int n) { return pipeline_->lookUp(n); }};
    ViewContext context_{thumbnails_, &selection_};
    std::uint64_t selectionGeneration_ = 0;  // the buffer's when the selection was last valid
    AxisStore axes_;  // axis choices of the header-field views, kept for the whole run
    ViewRenderers renderers_{thumbnails_, axes_};
    std::unique_ptr<Pipeline> pipeline_;
    std::unique_ptr<PlaybackController> playback_;
    std::unique_ptr<CaptureSession> capture_;
    WindowRegistry registry_;
    std::unique_ptr<MainWindow> main_;
    std::unique_ptr<LoadController> load_;
    std::unique_ptr<ExportController> export_;
    QPointer<LoadPartDialog> partDialog_;
    // The view windows as the registry made them, so asking whether a view
    // is shown needs no look-up by name; a window's deletion clears its entry.
    std::array<QPointer<ViewWindow>, ViewSet::kViewCount> views_;
    CaptureSourceFactory captureSource_;
    ProgramFolders folders_{programFolder_};
    FileDrop drop_{[this](const QString& file) { startLoad(file); }};
    bool toldScreenshotFolder_ = false;
    QString lastLoaded_;         // the file the overview shows
    LoadChoice lastChoice_;      // and the load's choice of its frames
    QString heldFrom_;           // the file the buffer's packets came from
    bool capturedLast_ = false;  // the buffer's newest packets were captured
    int cascade_ = 0;            // places new windows in a cascade
    // The counters follow the buffer at most once a painted frame: a capture
    // flood changes the count far more often than a screen can show.
    QElapsedTimer countersShown_;
    QTimer countersDue_;
};

}  // namespace pelsid
