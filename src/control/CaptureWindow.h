#pragma once
#include <QTimer>
#include <QWidget>

#include "control/CaptureSession.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace pelsid {

class Dialogs;

/// frmCapture: shows a CaptureSession and edits it: picks an adapter, starts
/// and stops the capture, shows its counters. "Record to file..." has the
/// next capture written to a pcap as it arrives. Closing the window stops
/// the capture and closes the recording.
class CaptureWindow : public QWidget {
    Q_OBJECT
  public:
    CaptureWindow(CaptureSession& session, Dialogs& dialogs, QWidget* parent = nullptr);
    ~CaptureWindow() override;

    /// Lists the source's adapters afresh; "Stop" off.
    void probeAdapters();
    /// Starts on the selected line's adapter with the filter field's expression.
    void startCapture();
    void stopCapture();

    CaptureSession& session() { return session_; }
    /// Shows the counters now (the window also does so about once a second).
    void updateCounters();

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void setCapturing(bool on);
    /// The record button was toggled: choose the file, or record nothing.
    void chooseRecording(bool on);
    void showRecording();
    void setRecordingText(const QString& text);

    CaptureSession& session_;
    CaptureSource& source_;
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
};

}  // namespace pelsid
