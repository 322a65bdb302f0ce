#pragma once
#include <QObject>
#include <cstdint>
#include <memory>
#include <string>

#include "control/CaptureSource.h"
#include "pipeline/Ingest.h"

namespace pelsid {

class Dialogs;
class PacketBuffer;
class Pipeline;

/// A live capture: the source, the ingest of every batch it delivers (stored
/// in the buffer and played as one run), the recording and the counters. The
/// application owns it; the Capture window shows it and edits it. A failure
/// to start, or of a running capture, is reported through the dialogs.
class CaptureSession : public QObject {
    Q_OBJECT
  public:
    CaptureSession(std::unique_ptr<CaptureSource> source, PacketBuffer& buffer, Pipeline& pipeline,
                   Dialogs& dialogs, QObject* parent = nullptr);
    ~CaptureSession() override;

    CaptureSource& source() { return *source_; }
    const CaptureSource& source() const { return *source_; }
    bool capturing() const { return source_->isCapturing(); }

    /// Starts on adapter `adapter` (counted from 1) with the capture filter
    /// `filter`; on success asks whether held packets may go and clears the
    /// views. False, with the problem reported, when it could not start.
    bool start(int adapter, const std::string& filter);
    /// Stops the capture; no frame arrives afterwards. Nothing when none runs.
    void stop();

    /// Frames stored in the buffer since the last start.
    std::uint64_t stored() const { return stored_; }

  signals:
    /// The capture started, or ended (stopped, or failed by itself).
    void capturingChanged(bool on);
    /// A capture that ran has ended: its recording, if any, is complete.
    void ended();

  private:
    void framesArrived(const FrameBatch& frames);

    std::unique_ptr<CaptureSource> source_;
    Ingest ingest_;
    Dialogs& dialogs_;
    std::uint64_t stored_ = 0;
};

}  // namespace pelsid
