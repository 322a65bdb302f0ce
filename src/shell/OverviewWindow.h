#pragma once
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <memory>

#include "store/Overview.h"
#include "store/ReadOptions.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QProgressBar;
class QPushButton;

namespace pelsid {

class FilterModel;
struct FrameBatch;
class OverviewJob;
class OverviewStrip;

/// frmOverview: the whole capture at a glance. Shows the overview of a file
/// (one pass on a thread, with progress and cancel) or of the frames being
/// captured; a dragged span can be loaded, the span the buffer holds and the
/// playing position are marked, and a click inside the held span asks for
/// the position there.
class OverviewWindow : public QWidget {
    Q_OBJECT
  public:
    explicit OverviewWindow(const FilterModel& filters, QWidget* parent = nullptr);
    ~OverviewWindow() override;

    /// Starts the pass over `path` with the load's filter (the whole file).
    void showFile(const QString& path, const LoadChoice& choice);
    /// Counts captured frames into a live overview (begun afresh when the
    /// overview showed a file).
    void addCaptured(const FrameBatch& batch);
    /// The span the buffer holds and where playing stands, in the
    /// overview's units (see OverviewStrip).
    void setHeld(std::optional<std::pair<std::int64_t, std::int64_t>> held,
                 std::optional<std::int64_t> cursor);
    bool timed() const;
    bool running() const { return bool(job_); }
    const QString& path() const { return path_; }
    OverviewStrip* strip() const { return strip_; }
    /// The frames of the chosen span: from its first frame to the last
    /// before the next interval that holds one (0: to the end).
    std::optional<LoadChoice> spanChoice() const;
    /// A picture of the strip, for screenshots.
    QImage picture();

  signals:
    /// Load was pressed with a span chosen.
    void loadRequested(const QString& path, const LoadChoice& choice);
    /// A click at a position inside the held span.
    void seekRequested(std::int64_t at);
    /// A pass is over.
    void scanned();

  private:
    void finishPass();
    void showProgress();
    void refreshColors();

    const FilterModel& filters_;
    OverviewStrip* strip_ = nullptr;
    QLabel* file_ = nullptr;
    QLabel* info_ = nullptr;
    QComboBox* value_ = nullptr;
    QCheckBox* log_ = nullptr;
    QComboBox* clock_ = nullptr;
    QPushButton* load_ = nullptr;
    QPushButton* cancel_ = nullptr;
    QProgressBar* progress_ = nullptr;
    std::unique_ptr<OverviewJob> job_;
    QTimer tick_;
    QString path_;
    LoadChoice choice_;
    bool live_ = false;
    Overview liveOverview_;
    std::uint64_t liveFrames_ = 0;
    std::optional<std::pair<std::int64_t, std::int64_t>> held_;
};

}  // namespace pelsid
