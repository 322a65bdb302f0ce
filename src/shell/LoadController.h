#pragma once
#include <QObject>
#include <QString>
#include <QTimer>
#include <functional>
#include <memory>

#include "store/ReadOptions.h"

class QWidget;

namespace pelsid {

class CaptureFile;
class Dialogs;
class LoadDatasetWindow;
class LoadJob;
class PacketBuffer;
class Pipeline;
class PlaybackController;
class ProgramFolders;

/// Loading a file into the buffer: reads it (on a thread, or at once), shows
/// its progress, asks whether held packets may be overwritten, stores the
/// packets, makes them the PVR's range and plays them.
class LoadController : public QObject {
    Q_OBJECT
  public:
    struct Hooks {
        /// The packets of `path`, chosen by `choice`, are about to be stored.
        std::function<void(const QString& path, const LoadChoice& choice)> storing;
        /// The buffer's counters are to be shown now.
        std::function<void()> showCounters;
        /// The PVR's playback, when asked.
        std::function<PlaybackController&()> playback;
    };

    /// The progress window opens over `over`.
    LoadController(PacketBuffer& buffer, Pipeline& pipeline, Dialogs& dialogs,
                   ProgramFolders& folders, QWidget* over, Hooks hooks, QObject* parent = nullptr);
    ~LoadController() override;

    /// Loads the chosen frames of a file as a job: the file is read on a
    /// thread while the progress window shows how far it got, then stored as
    /// load(path, file) does. A load started while another reads ends that
    /// one first. `finished` tells the outcome.
    void start(const QString& path, const LoadChoice& choice = {});
    /// Ends a load under way; its file is never stored.
    void cancel();
    /// True while a file is being read for a load.
    bool loading() const { return bool(job_); }
    /// Reads the file on this thread and loads it. False when nothing could
    /// be loaded (unreadable file, wrong format).
    bool load(const QString& path, const LoadChoice& choice = {});
    /// The same with the file already read.
    bool load(const QString& path, const CaptureFile& file);

  signals:
    /// A load begun with start is over; `loaded` as load returns.
    void finished(bool loaded);

  private:
    void finish(LoadJob* job);
    void storingEnded();
    void showProgress();
    void showProgressWindow();
    LoadDatasetWindow& progress();

    PacketBuffer& buffer_;
    Pipeline& pipeline_;
    Dialogs& dialogs_;
    ProgramFolders& folders_;
    QWidget* over_;
    Hooks hooks_;
    std::unique_ptr<LoadDatasetWindow> progress_;
    std::unique_ptr<LoadJob> job_;       // the file being read, if any
    QTimer tick_;                        // shows its progress
    bool stream_ = false;                // a pipe or device: no size to measure progress by
    bool storing_ = false;               // load runs (it may wait on a question)
    bool finishedWhileStoring_ = false;  // the job ended while a question was open
    LoadChoice choice_;                  // the choice of the load under way
};

}  // namespace pelsid
