#pragma once
#include <QColor>
#include <QWidget>
#include <array>
#include <optional>

#include "store/Overview.h"

namespace pelsid {

/// Stacked bars of an overview, about one interval per column, over a time
/// axis (or frame numbers for untimed captures). Hovering names the
/// interval, dragging chooses a span, and the span the buffer holds and the
/// playing position are marked. Positions are the overview's own units:
/// epoch nanoseconds when timed, else frame numbers.
class OverviewStrip : public QWidget {
    Q_OBJECT
  public:
    explicit OverviewStrip(QWidget* parent = nullptr);

    void setOverview(const Overview& overview);
    const Overview& overview() const { return overview_; }
    void setColors(const std::array<QColor, kOverviewKinds>& colors);
    void setShowBytes(bool bytes);
    void setLogScale(bool log);
    void setLocalTime(bool local);
    /// The interval shown, in nanoseconds; 0 fits the width. One finer than
    /// the overview keeps, or no multiple of it, shows the overview's own.
    void setInterval(std::int64_t ns);
    /// The span the buffer holds, or none.
    void setHeld(std::optional<std::pair<std::int64_t, std::int64_t>> held);
    /// Where playing stands, or none.
    void setCursorAt(std::optional<std::int64_t> at);
    /// The chosen span, or none.
    std::optional<std::pair<std::int64_t, std::int64_t>> span() const { return span_; }

    /// The intervals as shown, one about every column.
    const Overview& shown();
    /// The interval shown under column `x`, or none.
    std::optional<std::int64_t> intervalAt(int x);
    /// What hovering over interval `k` tells.
    QString describe(std::int64_t k);
    /// A position as text: time of day (with the date when the capture
    /// spans days) in UTC or local time, or a frame number.
    QString positionText(std::int64_t at, bool withDate) const;

    QSize sizeHint() const override { return {800, 160}; }

  signals:
    /// Hovering tells about an interval (empty when over none).
    void hovered(const QString& text);
    /// A span was dragged out.
    void spanChosen();
    /// A click (no drag) at a position.
    void clicked(std::int64_t at);

  protected:
    void paintEvent(QPaintEvent*) override;
    void resizeEvent(QResizeEvent*) override;
    void mouseMoveEvent(QMouseEvent*) override;
    void mousePressEvent(QMouseEvent*) override;
    void mouseReleaseEvent(QMouseEvent*) override;
    void leaveEvent(QEvent*) override;

  private:
    static constexpr int kAxisHeight = 18;
    /// Column of a position, and position of a column, over the shown span.
    double columnOf(std::int64_t at) const;
    std::int64_t positionOf(double x) const;
    void paintAxis(QPainter& p, int top);

    Overview overview_;
    Overview shown_;
    int shownFor_ = -1;  // the width `shown_` was made for
    std::array<QColor, kOverviewKinds> colors_{};
    bool bytes_ = false, log_ = false, local_ = false;
    std::int64_t intervalNs_ = 0;
    std::optional<std::pair<std::int64_t, std::int64_t>> held_, span_;
    std::optional<std::int64_t> cursor_;
    std::optional<int> pressX_;
    int dragX_ = 0;
};

}  // namespace pelsid
