#pragma once
#include <QDialog>
#include <QTimer>
#include <memory>

#include "store/ReadOptions.h"

class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;

namespace pelsid {

class LoadJob;

/// frmLoadPart: chooses what of a capture to load. Counts the file's frames
/// in a fast pass (with progress; Cancel ends it), and takes the first frame
/// to load and a filter expression, which is checked as it is typed with
/// libpcap's message. `accepted` means choice() is ready to load.
class LoadPartDialog : public QDialog {
    Q_OBJECT
  public:
    LoadPartDialog(const QString& path, QWidget* parent = nullptr);
    ~LoadPartDialog() override;

    const QString& path() const { return path_; }
    LoadChoice choice() const;
    /// The file's frame count once the pass is over; -1 before.
    qint64 frameCount() const { return frames_; }

  signals:
    /// The counting pass is over (or failed: the count stays -1).
    void counted();
    /// The user asked to see the whole file first (the dialog closes).
    void overviewRequested();

  private:
    void showCountProgress();
    void countDone();
    void check();

    QString path_;
    std::unique_ptr<LoadJob> count_;
    QTimer tick_;
    qint64 frames_ = -1;
    qint64 size_ = 0;
    QLabel* frameCount_;
    QProgressBar* countBar_;
    QLineEdit* from_;
    QLineEdit* filter_;
    QLabel* filterMessage_;
    QPushButton* ok_;
};

}  // namespace pelsid
