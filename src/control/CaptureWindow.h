#pragma once
#include <QTimer>
#include <QWidget>
#include <memory>

#include "control/CaptureSource.h"
#include "pipeline/Ingest.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace pelsid {

class Dialogs;
class PacketBuffer;
class Pipeline;

/// frmCapture: picks an adapter and starts and stops live capture. Every
/// batch of frames the source delivers is stored in the buffer and played as
/// one run. "Record to file..." has the next capture written to a pcap as it
/// arrives. The window owns its source; closing the window stops the capture
/// and closes the recording.
class CaptureWindow : public QWidget {
    Q_OBJECT
  public:
    CaptureWindow(std::unique_ptr<CaptureSource> source, PacketBuffer& buffer, Pipeline& pipeline,
                  Dialogs& dialogs, QWidget* parent = nullptr);
    ~CaptureWindow() override;

    /// Lists the source's adapters afresh; "Stop" off.
    void ProbeAdapters();
    /// Starts on the selected line's adapter with the filter field's
    /// expression; on success asks whether held packets may go and clears the views.
    void StartCapture();
    void StopCapture();
    void DisplayForm() { show(); }
    void ExitForm() { hide(); }

    CaptureSource& source() { return *source_; }
    /// Frames stored in the buffer since the last start.
    std::uint64_t stored() const { return stored_; }
    /// Shows the counters now (the window also does so about once a second).
    void updateCounters();

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void framesArrived(const FrameBatch& frames);
    void setCapturing(bool on);
    /// The record button was toggled: choose the file, or record nothing.
    void chooseRecording(bool on);
    void showRecording();
    void setRecordingText(const QString& text);

    std::unique_ptr<CaptureSource> source_;
    Ingest ingest_;
    Dialogs& dialogs_;
    QComboBox* cmbInterface_;
    QLineEdit* txtFilter_;
    QPushButton* btnStart_;
    QPushButton* btnStop_;
    QPushButton* btnRecord_;
    QLabel* lblRecording_;
    QLabel* lblCaptured_;
    QLabel* lblDropped_;
    QTimer tmrCounters_;
    std::uint64_t stored_ = 0;
};

}  // namespace pelsid
