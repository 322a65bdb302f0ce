#include "control/OverviewStrip.h"

#include <QDateTime>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace pelsid {

namespace {
constexpr std::int64_t kMs = 1'000'000;
constexpr int kTickSpacing = 110;  // pixels between axis labels, at least

// Round steps for the axis: nanoseconds when timed, else frames.
std::int64_t tickStep(bool timed, double unitsPerPixel) {
    const double wanted = unitsPerPixel * kTickSpacing;
    if (timed) {
        static const std::int64_t steps[] = {
            kMs,          2 * kMs,       5 * kMs,       10 * kMs,        20 * kMs,
            50 * kMs,     100 * kMs,     200 * kMs,     500 * kMs,       1000 * kMs,
            2000 * kMs,   5000 * kMs,    10'000 * kMs,  15'000 * kMs,    30'000 * kMs,
            60'000 * kMs, 120'000 * kMs, 300'000 * kMs, 600'000 * kMs,   900'000 * kMs,
            1'800'000 * kMs, 3'600'000 * kMs, 7'200'000 * kMs, 21'600'000 * kMs,
            43'200'000 * kMs, 86'400'000 * kMs};
        for (std::int64_t s : steps)
            if (double(s) >= wanted) return s;
        return std::int64_t(std::ceil(wanted / double(86'400'000 * kMs))) * 86'400'000 * kMs;
    }
    for (std::int64_t d = 1;; d *= 10)
        for (std::int64_t m : {1, 2, 5})
            if (double(m * d) >= wanted) return m * d;
}

std::int64_t floorTo(std::int64_t v, std::int64_t step) {
    const std::int64_t q = v / step;
    return (v % step != 0 && v < 0 ? q - 1 : q) * step;
}
}  // namespace

OverviewStrip::OverviewStrip(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("picOverview"));
    setMouseTracking(true);
    setMinimumSize(200, 80);
    setAttribute(Qt::WA_OpaquePaintEvent);
    colors_.fill(QColor(128, 128, 128));
}

void OverviewStrip::setOverview(const Overview& overview) {
    overview_ = overview;
    shownFor_ = -1;
    update();
}

void OverviewStrip::setColors(const std::array<QColor, kOverviewKinds>& colors) {
    colors_ = colors;
    update();
}

void OverviewStrip::setShowBytes(bool bytes) {
    bytes_ = bytes;
    update();
}

void OverviewStrip::setLogScale(bool log) {
    log_ = log;
    update();
}

void OverviewStrip::setLocalTime(bool local) {
    local_ = local;
    update();
}

void OverviewStrip::setInterval(std::int64_t ns) {
    intervalNs_ = ns;
    shownFor_ = -1;
    update();
}

void OverviewStrip::setHeld(std::optional<std::pair<std::int64_t, std::int64_t>> held) {
    if (held == held_) return;
    held_ = held;
    update();
}

void OverviewStrip::setCursorAt(std::optional<std::int64_t> at) {
    if (at == cursor_) return;
    cursor_ = at;
    update();
}

const Overview& OverviewStrip::shown() {
    if (shownFor_ != width()) {
        const bool chosen = intervalNs_ > 0 && overview_.timed();
        shown_ = overview_.empty() ? overview_
                 : chosen          ? overview_.regrouped(intervalNs_)
                                   : overview_.regrouped(overview_.fittingInterval(width()));
        shownFor_ = width();
    }
    return shown_;
}

double OverviewStrip::columnOf(std::int64_t at) const {
    const std::int64_t u0 = shown_.startOf(shown_.firstIndex());
    const std::int64_t u1 = shown_.startOf(shown_.lastIndex() + 1);
    return double(at - u0) * width() / double(std::max<std::int64_t>(1, u1 - u0));
}

std::int64_t OverviewStrip::positionOf(double x) const {
    const std::int64_t u0 = shown_.startOf(shown_.firstIndex());
    const std::int64_t u1 = shown_.startOf(shown_.lastIndex() + 1);
    return u0 + std::int64_t(std::floor(x / std::max(1, width()) * double(u1 - u0)));
}

std::optional<std::int64_t> OverviewStrip::intervalAt(int x) {
    const Overview& o = shown();
    if (o.empty() || x < 0 || x >= width()) return std::nullopt;
    const std::int64_t n = o.lastIndex() - o.firstIndex() + 1;
    return o.firstIndex() + std::int64_t(x) * n / std::max(1, width());
}

QString OverviewStrip::positionText(std::int64_t at, bool withDate) const {
    if (!overview_.timed()) return QStringLiteral("frame %1").arg(at);
    const qint64 ms = qint64(floorTo(at, kMs) / kMs);
    const QDateTime t = QDateTime::fromMSecsSinceEpoch(ms, local_ ? Qt::LocalTime : Qt::UTC);
    QString text = t.toString(withDate ? QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz")
                                       : QStringLiteral("HH:mm:ss.zzz"));
    if (!local_) text += QStringLiteral(" UTC");
    return text;
}

QString OverviewStrip::describe(std::int64_t k) {
    const Overview& o = shown();
    const OverviewBin b = o.bin(k);
    QString text = o.timed() ? positionText(o.startOf(k), true) : positionText(o.startOf(k), false);
    text += QStringLiteral(": %1 %2, %3 bytes")
                .arg(b.frames)
                .arg(b.frames == 1 ? QStringLiteral("frame") : QStringLiteral("frames"))
                .arg(b.bytes);
    if (b.frames > 0) text += QStringLiteral(", first frame %1").arg(b.firstFrame);
    return text;
}

void OverviewStrip::resizeEvent(QResizeEvent*) {
    shownFor_ = -1;
}

void OverviewStrip::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), Qt::black);
    const Overview& o = shown();
    const int barsHeight = std::max(1, height() - kAxisHeight);
    p.fillRect(0, barsHeight, width(), kAxisHeight, QColor(64, 64, 64));
    if (o.empty()) return;
    const std::vector<OverviewBin>& bins = o.bins();
    std::uint64_t most = 1;
    for (const OverviewBin& b : bins) most = std::max(most, bytes_ ? b.bytes : b.frames);
    const double n = double(bins.size());
    const double top = log_ ? std::log10(1.0 + double(most)) : double(most);
    for (std::size_t i = 0; i < bins.size(); ++i) {
        const OverviewBin& b = bins[i];
        const double total = double(bytes_ ? b.bytes : b.frames);
        if (total <= 0) continue;
        const int x0 = int(double(i) * width() / n);
        const int x1 = std::max(x0 + 1, int(double(i + 1) * width() / n));
        const double barHeight =
            (log_ ? std::log10(1.0 + total) : total) / top * double(barsHeight);
        double below = 0;
        for (int k = 0; k < kOverviewKinds; ++k) {
            const double v = double(bytes_ ? b.kindBytes[std::size_t(k)]
                                           : b.kindFrames[std::size_t(k)]);
            if (v <= 0) continue;
            const int y0 = barsHeight - int(std::lround(below / total * barHeight));
            below += v;
            const int y1 = barsHeight - int(std::lround(below / total * barHeight));
            p.fillRect(x0, y1, x1 - x0, std::max(1, y0 - y1), colors_[std::size_t(k)]);
        }
    }
    if (held_) {
        const int a = int(columnOf(held_->first)), b = int(columnOf(held_->second)) + 1;
        p.fillRect(a, 0, std::max(1, b - a), barsHeight, QColor(255, 255, 255, 40));
        p.setPen(QColor(255, 255, 255, 160));
        p.drawRect(a, 0, std::max(1, b - a) - 1, barsHeight - 1);
    }
    auto band = [&](int a, int b) {
        p.fillRect(std::min(a, b), 0, std::max(1, std::abs(b - a)), barsHeight,
                   QColor(80, 140, 255, 90));
    };
    if (pressX_ && std::abs(dragX_ - *pressX_) >= 3)
        band(*pressX_, dragX_);
    else if (span_)
        band(int(columnOf(span_->first)), int(columnOf(span_->second)));
    if (cursor_) {
        p.setPen(QColor(255, 0, 255));
        const int x = int(columnOf(*cursor_));
        p.drawLine(x, 0, x, barsHeight - 1);
    }
    paintAxis(p, barsHeight);
}

void OverviewStrip::paintAxis(QPainter& p, int top) {
    const std::int64_t u0 = shown_.startOf(shown_.firstIndex());
    const std::int64_t u1 = shown_.startOf(shown_.lastIndex() + 1);
    const std::int64_t step =
        tickStep(shown_.timed(), double(u1 - u0) / double(std::max(1, width())));
    // Local ticks fall on local round times.
    const std::int64_t offset =
        shown_.timed() && local_
            ? std::int64_t(QDateTime::fromMSecsSinceEpoch(u0 / kMs).offsetFromUtc()) * 1000 * kMs
            : 0;
    p.setPen(QColor(220, 220, 220));
    QFont f = font();
    f.setPointSizeF(f.pointSizeF() * 0.85);
    p.setFont(f);
    const bool days = shown_.timed() && u1 - u0 > 86'400'000 * kMs;
    for (std::int64_t t = floorTo(u0 + offset, step) - offset; t <= u1; t += step) {
        const int x = int(columnOf(t));
        if (x < 0) continue;
        p.drawLine(x, top, x, top + 4);
        QString label = positionText(t, days);
        if (shown_.timed() && step >= 1000 * kMs) label.remove(QStringLiteral(".000"));
        if (!shown_.timed()) label = QString::number(t);
        const int w = p.fontMetrics().horizontalAdvance(label);
        if (x + 3 + w <= width()) p.drawText(x + 3, top + kAxisHeight - 4, label);
    }
}

void OverviewStrip::mouseMoveEvent(QMouseEvent* e) {
    const int x = int(e->position().x());
    if (pressX_) {
        dragX_ = std::clamp(x, 0, width() - 1);
        update();
    }
    const std::optional<std::int64_t> k = intervalAt(x);
    emit hovered(k ? describe(*k) : QString());
}

void OverviewStrip::mousePressEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton || shown().empty()) return;
    pressX_ = int(e->position().x());
    dragX_ = *pressX_;
}

void OverviewStrip::mouseReleaseEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton || !pressX_) return;
    const int from = *pressX_, to = std::clamp(int(e->position().x()), 0, width() - 1);
    pressX_.reset();
    if (std::abs(to - from) < 3) {
        emit clicked(positionOf(to));
        update();
        return;
    }
    // A span covers whole intervals.
    const Overview& o = shown();
    const std::int64_t a = *intervalAt(std::min(from, to)), b = *intervalAt(std::max(from, to));
    span_ = std::make_pair(o.startOf(a), o.startOf(b + 1) - 1);
    update();
    emit spanChosen();
}

void OverviewStrip::leaveEvent(QEvent*) {
    emit hovered(QString());
}

}  // namespace pelsid
