#include "shell/OverviewWindow.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "control/OverviewStrip.h"
#include "pipeline/FilterModel.h"
#include "raster/Color.h"
#include "shell/OverviewJob.h"
#include "store/FrameBatch.h"
#include "store/OverviewScan.h"

namespace pelsid {

OverviewWindow::OverviewWindow(const FilterModel& filters, QWidget* parent)
    : QWidget(parent, Qt::Window), filters_(filters) {
    setObjectName(QStringLiteral("frmOverview"));
    setWindowTitle(QStringLiteral("pelsid: Overview"));
    setAttribute(Qt::WA_DeleteOnClose);

    auto* top = new QHBoxLayout;
    file_ = new QLabel(QStringLiteral("No capture loaded"), this);
    file_->setObjectName(QStringLiteral("lblOverviewFile"));
    file_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    value_ = new QComboBox(this);
    value_->setObjectName(QStringLiteral("cmbOverviewValue"));
    value_->addItems({QStringLiteral("Frames"), QStringLiteral("Bytes")});
    log_ = new QCheckBox(QStringLiteral("Log scale"), this);
    log_->setObjectName(QStringLiteral("chkOverviewLog"));
    clock_ = new QComboBox(this);
    clock_->setObjectName(QStringLiteral("cmbOverviewClock"));
    clock_->addItems({QStringLiteral("UTC"), QStringLiteral("Local time")});
    auto* interval = new QComboBox(this);
    interval->setObjectName(QStringLiteral("cmbOverviewInterval"));
    interval->setToolTip(QStringLiteral("The interval of a bar: Auto gives about one a column"));
    constexpr std::int64_t ms = 1'000'000;
    const std::pair<const char*, std::int64_t> intervals[] = {{"Auto", 0},
                                                              {"1 ms", ms},
                                                              {"10 ms", 10 * ms},
                                                              {"100 ms", 100 * ms},
                                                              {"1 s", 1000 * ms},
                                                              {"10 s", 10'000 * ms},
                                                              {"1 min", 60'000 * ms},
                                                              {"10 min", 600'000 * ms},
                                                              {"1 h", 3'600'000 * ms}};
    for (const auto& [name, ns] : intervals)
        interval->addItem(QString::fromLatin1(name), qlonglong(ns));
    connect(interval, &QComboBox::currentIndexChanged, this,
            [this, interval] { strip_->setInterval(interval->currentData().toLongLong()); });
    load_ = new QPushButton(QStringLiteral("Load"), this);
    load_->setObjectName(QStringLiteral("btnOverviewLoad"));
    load_->setToolTip(QStringLiteral("Load the frames of the span dragged out on the strip"));
    load_->setEnabled(false);
    top->addWidget(file_, 1);
    top->addWidget(value_);
    top->addWidget(log_);
    top->addWidget(clock_);
    top->addWidget(interval);
    top->addWidget(load_);

    strip_ = new OverviewStrip(this);
    auto* bottom = new QHBoxLayout;
    info_ = new QLabel(QStringLiteral("Drag over the strip to choose a span to load."), this);
    info_->setObjectName(QStringLiteral("lblOverviewInfo"));
    progress_ = new QProgressBar(this);
    progress_->setObjectName(QStringLiteral("pbOverview"));
    progress_->setMaximumWidth(200);
    progress_->hide();
    cancel_ = new QPushButton(QStringLiteral("Cancel"), this);
    cancel_->setObjectName(QStringLiteral("btnOverviewCancel"));
    cancel_->hide();
    bottom->addWidget(info_, 1);
    bottom->addWidget(progress_);
    bottom->addWidget(cancel_);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(strip_, 1);
    layout->addLayout(bottom);
    resize(900, 260);

    connect(value_, &QComboBox::currentIndexChanged, this,
            [this](int i) { strip_->setShowBytes(i == 1); });
    connect(log_, &QCheckBox::toggled, strip_, &OverviewStrip::setLogScale);
    connect(clock_, &QComboBox::currentIndexChanged, this,
            [this](int i) { strip_->setLocalTime(i == 1); });
    connect(strip_, &OverviewStrip::hovered, this, [this](const QString& text) {
        if (!text.isEmpty()) info_->setText(text);
    });
    connect(strip_, &OverviewStrip::spanChosen, this,
            [this] { load_->setEnabled(!live_ && spanChoice().has_value()); });
    connect(load_, &QPushButton::clicked, this, [this] {
        if (const std::optional<LoadChoice> c = spanChoice()) emit loadRequested(path_, *c);
    });
    connect(strip_, &OverviewStrip::clicked, this, [this](std::int64_t at) {
        if (held_ && at >= held_->first && at <= held_->second) emit seekRequested(at);
    });
    connect(cancel_, &QPushButton::clicked, this, [this] {
        if (!job_) return;
        job_.reset();
        progress_->hide();
        cancel_->hide();
        info_->setText(QStringLiteral("Cancelled: the strip shows the frames counted so far."));
    });
    connect(&tick_, &QTimer::timeout, this, &OverviewWindow::showProgress);
    refreshColors();
}

OverviewWindow::~OverviewWindow() = default;

void OverviewWindow::refreshColors() {
    std::array<QColor, kOverviewKinds> colors;
    for (int k = 0; k < kProtocolClassCount; ++k)
        colors[std::size_t(k)] = QColor::fromRgb(toQRgb(filters_.color(ProtocolClass(k))));
    colors[kNonIpKind] = QColor(150, 150, 150);
    strip_->setColors(colors);
}

void OverviewWindow::showFile(const QString& path, const LoadChoice& choice) {
    path_ = path;
    choice_ = choice;
    live_ = false;
    load_->setEnabled(false);
    file_->setText(QFileInfo(path).fileName());
    file_->setToolTip(path);
    ReadOptions options;
    // The whole capture, through the load's filter.
    options.choice.filter = choice.filter;
    job_ = std::make_unique<OverviewJob>(path, options);
    connect(job_.get(), &OverviewJob::finished, this, &OverviewWindow::finishPass);
    progress_->setRange(0, 1000);
    progress_->setValue(0);
    progress_->show();
    cancel_->show();
    info_->setText(QStringLiteral("Reading %1...").arg(QFileInfo(path).fileName()));
    tick_.start(100);
}

void OverviewWindow::showProgress() {
    if (!job_) {
        tick_.stop();
        return;
    }
    const QFileInfo info(path_);
    const std::uint64_t read = job_->progress().bytesRead.load();
    if (info.isFile() && info.size() > 0)
        progress_->setValue(int(1000.0 * double(read) / double(info.size())));
    // The strip grows as the pass goes on.
    strip_->setOverview(job_->snapshot());
}

void OverviewWindow::finishPass() {
    tick_.stop();
    progress_->hide();
    cancel_->hide();
    if (!job_) return;
    const OverviewScan& scan = job_->result();
    strip_->setOverview(scan.overview);
    QString text;
    for (const LoadProblem& p : scan.problems)
        if (p.severity == LoadProblem::Severity::Error) text = QString::fromStdString(p.text);
    if (scan.format == CaptureFormat::NotPelsid)
        text = QStringLiteral("%1 is no capture pelsid can read.").arg(QFileInfo(path_).fileName());
    info_->setText(text.isEmpty() ? QStringLiteral("%1 frames. Drag over the strip to choose a "
                                                   "span to load.")
                                        .arg(scan.overview.frames())
                                  : text);
    // The job goes once its signal has returned.
    job_.release()->deleteLater();
    emit scanned();
}

void OverviewWindow::addCaptured(const FrameBatch& batch) {
    if (!live_) {
        job_.reset();
        tick_.stop();
        progress_->hide();
        cancel_->hide();
        live_ = true;
        liveOverview_ = Overview();
        liveFrames_ = 0;
        path_.clear();
        load_->setEnabled(false);
        file_->setText(QStringLiteral("Live capture"));
        file_->setToolTip({});
    }
    for (int k = 0; k < batch.size(); ++k) {
        const RecordRef& r = batch.records[std::size_t(k)];
        liveOverview_.add(++liveFrames_, r.wireLength, overviewKindOf(batch.frame(k)), r.time);
    }
    strip_->setOverview(liveOverview_);
}

void OverviewWindow::setHeld(std::optional<std::pair<std::int64_t, std::int64_t>> held,
                             std::optional<std::int64_t> cursor) {
    held_ = held;
    refreshColors();
    strip_->setHeld(held);
    strip_->setCursorAt(cursor);
}

bool OverviewWindow::timed() const {
    return strip_->overview().timed();
}

std::optional<LoadChoice> OverviewWindow::spanChoice() const {
    const std::optional<std::pair<std::int64_t, std::int64_t>> span = strip_->span();
    const Overview& o = strip_->overview();
    if (!span || o.empty() || path_.isEmpty()) return std::nullopt;
    // The overview's own intervals: the span's first frame, and the first
    // frame of the next interval after it that holds one.
    LoadChoice c = choice_;
    c.from = 0;
    c.to = 0;
    std::uint64_t after = 0;
    for (std::int64_t k = o.firstIndex(); k <= o.lastIndex(); ++k) {
        const std::int64_t start = o.startOf(k);
        const OverviewBin b = o.bin(k);
        if (b.frames == 0 || start + o.interval() - 1 < span->first) continue;
        std::uint64_t& first = start > span->second ? after : c.from;
        if (first == 0 || b.firstFrame < first) first = b.firstFrame;
    }
    if (after > c.from) c.to = after - 1;
    if (c.from == 0) return std::nullopt;
    return c;
}

QImage OverviewWindow::picture() {
    return strip_->grab().toImage();
}

}  // namespace pelsid
