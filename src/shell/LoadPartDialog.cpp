#include "shell/LoadPartDialog.h"

#include <QDialogButtonBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include "shell/LoadJob.h"
#include "store/PacketMatcher.h"

namespace pelsid {

LoadPartDialog::LoadPartDialog(const QString& path, QWidget* parent)
    : QDialog(parent), path_(path) {
    setObjectName(QStringLiteral("frmLoadPart"));
    setWindowTitle(QStringLiteral("Load Part of a Capture"));
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    layout->addLayout(form);
    auto* file = new QLabel(QFileInfo(path).fileName(), this);
    file->setObjectName(QStringLiteral("lblPartFile"));
    form->addRow(QStringLiteral("File:"), file);
    frameCount_ = new QLabel(QStringLiteral("Counting..."), this);
    frameCount_->setObjectName(QStringLiteral("lblFrameCount"));
    form->addRow(QStringLiteral("Frames in file:"), frameCount_);
    countBar_ = new QProgressBar(this);
    countBar_->setObjectName(QStringLiteral("pbCounting"));
    form->addRow(QString(), countBar_);
    from_ = new QLineEdit(QStringLiteral("1"), this);
    from_->setObjectName(QStringLiteral("txtFirstFrame"));
    from_->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{1,19}")), this));
    form->addRow(QStringLiteral("First frame to load:"), from_);
    filter_ = new QLineEdit(this);
    filter_->setObjectName(QStringLiteral("txtFilter"));
    filter_->setPlaceholderText(QStringLiteral("every frame (or a filter such as: tcp port 80)"));
    form->addRow(QStringLiteral("Filter:"), filter_);
    filterMessage_ = new QLabel(this);
    filterMessage_->setObjectName(QStringLiteral("lblFilterMessage"));
    filterMessage_->setWordWrap(true);
    form->addRow(QString(), filterMessage_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    ok_ = buttons->button(QDialogButtonBox::Ok);
    ok_->setObjectName(QStringLiteral("btnLoadPart"));
    ok_->setText(QStringLiteral("&Load"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("btnCancelPart"));
    // Seeing where things happen beats guessing a first frame.
    QPushButton* overview =
        buttons->addButton(QStringLiteral("&Overview..."), QDialogButtonBox::ActionRole);
    overview->setObjectName(QStringLiteral("btnPartOverview"));
    overview->setToolTip(QStringLiteral("Show the whole capture at a glance, and load a span "
                                        "of it from there"));
    connect(overview, &QPushButton::clicked, this, [this] {
        emit overviewRequested();
        reject();
    });
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(from_, &QLineEdit::textChanged, this, &LoadPartDialog::check);
    connect(filter_, &QLineEdit::textChanged, this, &LoadPartDialog::check);
    // Closing the dialog ends the count at once.
    connect(this, &QDialog::finished, this, [this] {
        tick_.stop();
        count_.reset();
    });
    setMinimumWidth(440);

    // A pipe or device gives its bytes once: counting them would leave
    // nothing to load.
    if (!QFileInfo(path).isFile()) {
        frameCount_->setText(QStringLiteral("not counted: not a regular file"));
        countBar_->hide();
        check();
        return;
    }
    size_ = QFileInfo(path).size();
    countBar_->setRange(0, size_ > 0 ? 1000 : 0);
    ReadOptions options;
    options.countOnly = true;
    count_ = std::make_unique<LoadJob>(path, options);
    connect(count_.get(), &LoadJob::finished, this, &LoadPartDialog::countDone);
    connect(&tick_, &QTimer::timeout, this, &LoadPartDialog::showCountProgress);
    tick_.start(100);
    check();
}

LoadPartDialog::~LoadPartDialog() = default;

void LoadPartDialog::showCountProgress() {
    if (!count_) return;
    const auto& p = count_->progress();
    const std::uint64_t read = p.bytesRead.load();
    if (size_ > 0) countBar_->setValue(int(std::min<std::uint64_t>(read, size_) * 1000 / size_));
    frameCount_->setText(QStringLiteral("Counting... %1 so far").arg(p.frames.load()));
}

void LoadPartDialog::countDone() {
    tick_.stop();
    const CaptureFile file = count_->takeResult();
    count_.release()->deleteLater();  // once its signal has returned
    countBar_->setRange(0, 1);
    countBar_->setValue(1);
    if (file.isLoadable()) {
        frames_ = qint64(file.recordSet().frames);
        frameCount_->setText(QString::number(frames_));
    } else {
        frameCount_->setText(file.problems().empty()
                                 ? QStringLiteral("unknown")
                                 : QString::fromStdString(file.problems().front().text));
        frameCount_->setWordWrap(true);
    }
    check();
    emit counted();
}

LoadChoice LoadPartDialog::choice() const {
    LoadChoice c;
    c.from = std::max<qulonglong>(1, from_->text().toULongLong());
    c.filter = filter_->text().trimmed().toStdString();
    return c;
}

void LoadPartDialog::check() {
    QString problem;
    const std::string expression = filter_->text().trimmed().toStdString();
    if (!expression.empty()) {
        std::string error;
        if (!PacketMatcher::compile(expression, &error)) problem = QString::fromStdString(error);
    }
    const qulonglong from = from_->text().toULongLong();
    if (problem.isEmpty() && from < 1) problem = QStringLiteral("The first frame is 1 or more.");
    if (problem.isEmpty() && frames_ >= 0 && from > qulonglong(frames_))
        problem = QStringLiteral("The file holds %1 frames.").arg(frames_);
    filterMessage_->setText(problem);
    ok_->setEnabled(problem.isEmpty());
}

}  // namespace pelsid
