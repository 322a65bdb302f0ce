#include "shell/LoadController.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "control/PlaybackController.h"
#include "pipeline/Ingest.h"
#include "shell/LoadDatasetWindow.h"
#include "shell/LoadJob.h"
#include "shell/ProgramFolders.h"
#include "shell/WindowPlacement.h"
#include "store/CaptureFile.h"
#include "store/Dialogs.h"
#include "store/PacketBuffer.h"

namespace pelsid {

LoadController::LoadController(PacketBuffer& buffer, Pipeline& pipeline, Dialogs& dialogs,
                               ProgramFolders& folders, QWidget* over, Hooks hooks, QObject* parent)
    : QObject(parent),
      buffer_(buffer),
      pipeline_(pipeline),
      dialogs_(dialogs),
      folders_(folders),
      over_(over),
      hooks_(std::move(hooks)) {
    connect(&tick_, &QTimer::timeout, this, &LoadController::showProgress);
}

LoadController::~LoadController() = default;

LoadDatasetWindow& LoadController::progress() {
    if (!progress_) progress_ = std::make_unique<LoadDatasetWindow>();
    return *progress_;
}

void LoadController::start(const QString& path, const LoadChoice& choice) {
    job_.reset();
    LoadDatasetWindow& progress = this->progress();
    progress.setStatus(QStringLiteral("In Progress"));
    progress.setFile(QFileInfo(path).fileName());
    const QFileInfo info(path);
    const qint64 size = info.isFile() ? info.size() : 0;
    stream_ = !info.isFile();
    progress.setFileSize(size);
    progress.setRange(size);
    progress.setProgress(0);
    showProgressWindow();
    ReadOptions options;
    options.choice = choice;
    choice_ = choice;
    job_ = std::make_unique<LoadJob>(path, options);
    connect(job_.get(), &LoadJob::finished, this, [this, job = job_.get()] { finish(job); });
    tick_.start(100);
}

void LoadController::cancel() {
    job_.reset();
}

void LoadController::showProgressWindow() {
    if (progress_->isVisible()) return;
    // Over the main window, and wholly on the screen.
    QRect frame(QPoint(), progress_->size() + kFrameAllowance);
    frame.moveCenter(over_->frameGeometry().center());
    progress_->move(frame.topLeft());
    keepOnScreen(progress_.get());
    progress_->show();
}

void LoadController::finish(LoadJob* job) {
    if (!job || job_.get() != job) return;  // a later load, or a cancel, ended it
    // An earlier load may still be asking whether to overwrite (a modal
    // dialog): this one stores its packets once that one is done.
    if (storing_) {
        finishedWhileStoring_ = true;
        return;
    }
    tick_.stop();
    const QString path = job_->path();
    const CaptureFile file = job_->takeResult();
    // The job goes once its signal has returned.
    job_.release()->deleteLater();
    emit finished(load(path, file));
}

void LoadController::storingEnded() {
    storing_ = false;
    if (!finishedWhileStoring_) return;
    finishedWhileStoring_ = false;
    // The read that ended meanwhile is stored once this load has returned.
    QMetaObject::invokeMethod(
        this, [this, job = job_.get()] { finish(job); }, Qt::QueuedConnection);
}

void LoadController::showProgress() {
    if (!job_ || !progress_) return;
    const ReadProgress& p = job_->progress();
    progress_->setReadProgress(qint64(p.bytesRead.load()), p.stored.load(),
                               stream_ ? PacketBuffer::kSlots : 0);
}

bool LoadController::load(const QString& path, const LoadChoice& choice) {
    choice_ = choice;
    ReadOptions options;
    options.choice = choice;
    return load(path, readCaptureFile(QFile::encodeName(path).toStdString(), options));
}

bool LoadController::load(const QString& path, const CaptureFile& file) {
    storing_ = true;
    const struct Done {
        LoadController& c;
        ~Done() { c.storingEnded(); }
    } done{*this};
    LoadDatasetWindow& progress = this->progress();
    progress.setStatus(QStringLiteral("In Progress"));
    showProgressWindow();
    progress.setFile(QFileInfo(path).fileName());
    progress.setFileSize(qint64(file.fileSize()));
    progress.setStatus(QStringLiteral("Completed"));
    progress.setRange(qint64(file.fileSize()));
    progress.setProgress(qint64(file.fileSize()));

    Ingest ingest(buffer_, pipeline_, dialogs_);
    const std::string named = QDir::toNativeSeparators(path).toStdString();
    if (!file.isLoadable()) {
        progress.hide();
        ingest.problems(file, named);
        hooks_.playback().resetRange();
        return false;
    }
    folders_.loaded(path);
    hooks_.storing(path, choice_);
    ingest.begin();
    // The views stay empty while records are stored; the counters are shown once at the end.
    int stored = 0;
    const int first = ingest.store(file, &stored);
    hooks_.showCounters();
    if ((file.recordSet().exceeded || file.recordSet().ended) && stored > 0) {
        // The rest of the file was never read: "Completed" would claim it was.
        const qint64 end = qint64(file.records()[stored - 1].fileEnd);
        progress.setStatus(
            QStringLiteral("Stopped after %1 packets at byte %2").arg(stored).arg(end));
        progress.setRange(end);
        progress.setProgress(end);
    }
    ingest.problems(file, named);
    progress.hide();
    hooks_.playback().resetRange();
    ingest.play(first, first + stored - 1);
    return true;
}

}  // namespace pelsid
