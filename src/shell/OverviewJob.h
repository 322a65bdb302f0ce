#pragma once
#include <QObject>
#include <QString>
#include <atomic>
#include <mutex>
#include <thread>

#include "store/OverviewScan.h"

namespace pelsid {

/// The overview pass over a whole file, on a thread of its own. The UI
/// thread may copy the overview as it grows (`snapshot`) and takes the
/// result once `finished` arrives. Deleting the job cancels the pass and
/// waits for its thread, which takes at most one piece of the file.
class OverviewJob : public QObject {
    Q_OBJECT
  public:
    OverviewJob(const QString& path, const ReadOptions& options, QObject* parent = nullptr);
    ~OverviewJob() override;

    const QString& path() const { return path_; }
    const ReadProgress& progress() const { return progress_; }
    /// The overview so far.
    Overview snapshot();
    /// The pass as it ended; valid once `finished` has been raised.
    const OverviewScan& result() const { return scan_; }

  signals:
    void finished();

  private:
    QString path_;
    ReadProgress progress_;
    std::atomic<bool> cancel_ = false;
    std::mutex guard_;
    OverviewScan scan_;
    std::thread thread_;
};

}  // namespace pelsid
