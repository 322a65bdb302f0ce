#pragma once
#include <QObject>
#include <QString>
#include <atomic>
#include <thread>

#include "store/CaptureFile.h"
#include "store/ReadOptions.h"

namespace pelsid {

/// Reads a capture file on a thread of its own, so a big file or a slow
/// stream never holds up the windows. The read touches neither the buffer
/// nor a widget: the UI thread watches `progress()` and takes the result once
/// `finished` arrives. Deleting the job ends the read early and waits for its
/// thread, which takes at most one piece or a short wait on a stream.
class LoadJob : public QObject {
    Q_OBJECT
  public:
    LoadJob(const QString& path, const ReadOptions& options, QObject* parent = nullptr);
    ~LoadJob() override;

    const QString& path() const { return path_; }
    const ReadProgress& progress() const { return progress_; }
    /// The file as read; valid once `finished` has been raised.
    CaptureFile takeResult() { return std::move(result_); }

  signals:
    /// Raised on the UI thread when the read is over.
    void finished();

  private:
    QString path_;
    ReadProgress progress_;
    std::atomic<bool> cancel_ = false;
    CaptureFile result_;
    std::thread thread_;
};

}  // namespace pelsid
