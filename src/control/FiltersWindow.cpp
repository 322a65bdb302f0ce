#include "control/FiltersWindow.h"

#include "control/FilterSettings.h"
#include "control/FixedWindowFlags.h"

#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <algorithm>

#include "raster/Color.h"
#include "store/Dialogs.h"
#include "store/PacketMatcher.h"

namespace pelsid {

namespace {
// The six rows are 139 pixels wide; the expression fields below them want
// more room, and the rows stay centred above them.
constexpr int kClientWidth = 260;
constexpr int kIndent = (kClientWidth - 139) / 2;
constexpr int kMargin = 8;
constexpr int kFieldHeight = 24;
// Room under the display filter for why an expression was refused.
constexpr int kErrorHeight = 30;
// A new rule's colour before the chooser changes it (or when it is cancelled).
constexpr std::uint32_t kNewRuleColor = rgb(255, 0, 0);

QLabel* caption(const QString& text, QWidget* parent, int y) {
    auto* l = new QLabel(text, parent);
    QPalette pal = l->palette();
    pal.setColor(QPalette::WindowText, Qt::white);
    l->setPalette(pal);
    l->setGeometry(kMargin, y, kClientWidth - 2 * kMargin, 16);
    return l;
}

QIcon swatchIcon(std::uint32_t color) {
    QPixmap p(14, 14);
    p.fill(QColor::fromRgb(toQRgb(color)));
    // A white or pale rule colour still shows against the list.
    QPainter border(&p);
    border.setPen(QColor(64, 64, 64));
    border.drawRect(0, 0, p.width() - 1, p.height() - 1);
    return QIcon(p);
}
}  // namespace

void markExpressionField(QLineEdit* field, const QString& message, const QString& note) {
    field->setProperty("error", message);
    field->setToolTip(note.isEmpty() || message.isEmpty() ? message : message + '\n' + note);
    field->setStyleSheet(message.isEmpty() ? QString()
                                           : QStringLiteral("QLineEdit { color: rgb(192,0,0); "
                                                            "border: 1px solid rgb(192,0,0); }"));
}

FiltersWindow::FiltersWindow(FilterModel& model, Dialogs& dialogs, QWidget* parent)
    : QWidget(parent, fixedWindowFlags()), model_(model), dialogs_(dialogs) {
    setObjectName(QStringLiteral("frmEncodings"));
    setWindowTitle(QStringLiteral("filters"));
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(kClientWidth, 442 + kErrorHeight);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(64, 64, 64));
    setPalette(pal);
    setAutoFillBackground(true);
    model_.reset();

    int y = 8;
    for (const FilterRow& r : kFilterRows) {
        auto* t = new QPushButton(QString::fromLatin1(r.caption), this);
        t->setObjectName(QString::fromLatin1(r.toggle));
        t->setCheckable(true);
        t->setGeometry(kIndent + 8, y, 89, 25);
        t->setStyleSheet(
            QStringLiteral("QPushButton { background: rgb(192,192,192); color: black; }"
                           "QPushButton:checked { background: rgb(128,128,128); }"));
        const ProtocolClass c = r.cls;
        connect(t, &QPushButton::toggled, this, [this, c](bool on) { model_.setHidden(c, on); });
        toggles_[int(c)] = t;

        auto* s = new QWidget(this);
        s->setObjectName(QString::fromLatin1(r.swatch));
        s->setGeometry(kIndent + 104, y, 25, 25);
        s->setAutoFillBackground(true);
        s->setCursor(Qt::PointingHandCursor);
        s->installEventFilter(this);
        swatches_[int(c)] = s;
        paintSwatch(c);
        y += 32;
    }
    buildExpressionControls(y + 10);
}

void FiltersWindow::buildExpressionControls(int top) {
    const int width = kClientWidth - 2 * kMargin;
    QLabel* shown = caption(QStringLiteral("Show only packets matching:"), this, top);
    displayFilter_ = new QLineEdit(this);
    displayFilter_->setObjectName(QStringLiteral("txtDisplayFilter"));
    displayFilter_->setGeometry(kMargin, top + 18, width, kFieldHeight);
    shown->setBuddy(displayFilter_);
    // Compiling may look host names up: once per edit, never per keystroke.
    connect(displayFilter_, &QLineEdit::editingFinished, this, [this] { applyDisplayFilter(); });
    // A refused expression is said here, not only in a tool tip nobody hovers for.
    displayFilterError_ = new QLabel(this);
    displayFilterError_->setObjectName(QStringLiteral("lblDisplayFilterError"));
    displayFilterError_->setGeometry(kMargin, top + 18 + kFieldHeight + 1, width, kErrorHeight);
    displayFilterError_->setWordWrap(true);
    displayFilterError_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    QFont small = displayFilterError_->font();
    small.setPointSizeF(small.pointSizeF() * 0.85);
    displayFilterError_->setFont(small);
    QPalette pal = displayFilterError_->palette();
    pal.setColor(QPalette::WindowText, QColor(255, 150, 150));
    displayFilterError_->setPalette(pal);

    top += 52 + kErrorHeight;
    caption(QStringLiteral("Colour rules, first match wins:"), this, top);
    rules_ = new QListWidget(this);
    rules_->setObjectName(QStringLiteral("lstColorRules"));
    rules_->setGeometry(kMargin, top + 18, width, 96);
    connect(rules_, &QListWidget::currentRowChanged, this, [this] { updateRuleButtons(); });
    connect(rules_, &QListWidget::itemDoubleClicked, this, [this] { chooseRuleColor(); });

    top += 122;
    newRule_ = new QLineEdit(this);
    newRule_->setObjectName(QStringLiteral("txtColorRule"));
    newRule_->setPlaceholderText(QStringLiteral("expression of a new rule"));
    newRule_->setGeometry(kMargin, top, width - 56, kFieldHeight);
    connect(newRule_, &QLineEdit::returnPressed, this, [this] { addColorRule(); });
    auto* add = new QPushButton(QStringLiteral("Add"), this);
    add->setObjectName(QStringLiteral("btnAddColorRule"));
    add->setGeometry(kClientWidth - kMargin - 52, top, 52, kFieldHeight);
    connect(add, &QPushButton::clicked, this, [this] { addColorRule(); });

    top += 32;
    struct Button {
        QPushButton** slot;
        const char* name;
        const char* caption;
    };
    const Button buttons[] = {{&ruleColor_, "btnColorRuleColor", "Colour..."},
                              {&ruleUp_, "btnColorRuleUp", "Up"},
                              {&ruleDown_, "btnColorRuleDown", "Down"},
                              {&ruleRemove_, "btnRemoveColorRule", "Remove"}};
    const int gap = 4, w = (width - 3 * gap) / 4;
    int x = kMargin;
    for (const Button& b : buttons) {
        *b.slot = new QPushButton(QString::fromLatin1(b.caption), this);
        (*b.slot)->setObjectName(QString::fromLatin1(b.name));
        (*b.slot)->setGeometry(x, top, w, kFieldHeight);
        x += w + gap;
    }
    connect(ruleColor_, &QPushButton::clicked, this, [this] { chooseRuleColor(); });
    connect(ruleUp_, &QPushButton::clicked, this, [this] { moveRule(-1); });
    connect(ruleDown_, &QPushButton::clicked, this, [this] { moveRule(1); });
    connect(ruleRemove_, &QPushButton::clicked, this, [this] { removeRule(); });
    updateRuleButtons();
}

bool FiltersWindow::applyDisplayFilter() {
    const std::string text = displayFilter_->text().toStdString();
    // Leaving the field unchanged compiles nothing again.
    if (text == model_.displayFilter() && displayFilter_->property("error").toString().isEmpty())
        return true;
    std::string error;
    if (model_.setDisplayFilter(text, &error)) {
        markExpressionField(displayFilter_, {});
        displayFilterError_->clear();
        return true;
    }
    displayFilterError_->setText(QString::fromStdString(error));
    // The field shows the refused text; say what is shown meanwhile.
    const std::string& kept = model_.displayFilter();
    markExpressionField(displayFilter_, QString::fromStdString(error),
                        kept.empty() ? QStringLiteral("still showing every packet")
                                     : QStringLiteral("still showing packets matching: %1")
                                           .arg(QString::fromStdString(kept)));
    return false;
}

bool FiltersWindow::addColorRule() {
    const std::string text = newRule_->text().trimmed().toStdString();
    if (text.empty()) return false;
    std::string error;
    if (!model_.addColorRule(text, kNewRuleColor, &error)) {
        markExpressionField(newRule_, QString::fromStdString(error));
        return false;
    }
    markExpressionField(newRule_, {});
    newRule_->clear();
    const int last = int(model_.colorRules().size()) - 1;
    model_.setColorRuleColor(last, dialogs_.chooseColor(kNewRuleColor));
    showRules(last);
    return true;
}

void FiltersWindow::chooseRuleColor() {
    const int i = selectedRule();
    if (i < 0) return;
    model_.setColorRuleColor(i, dialogs_.chooseColor(model_.colorRules()[std::size_t(i)].color));
    showRules(i);
}

void FiltersWindow::moveRule(int step) {
    const int i = selectedRule(), to = i + step;
    if (i < 0 || to < 0 || to >= int(model_.colorRules().size())) return;
    model_.moveColorRule(i, to);
    showRules(to);
}

void FiltersWindow::removeRule() {
    const int i = selectedRule();
    if (i < 0) return;
    model_.removeColorRule(i);
    showRules(std::min(i, int(model_.colorRules().size()) - 1));
}

int FiltersWindow::selectedRule() const {
    const int i = rules_->currentRow();
    return i >= 0 && i < int(model_.colorRules().size()) ? i : -1;
}

void FiltersWindow::showRules(int selected) {
    rules_->clear();
    for (const ColorRule& r : model_.colorRules())
        rules_->addItem(new QListWidgetItem(swatchIcon(r.color),
                                            QString::fromStdString(r.matcher->expression())));
    rules_->setCurrentRow(selected);
    updateRuleButtons();
}

void FiltersWindow::updateRuleButtons() {
    const int i = selectedRule(), n = int(model_.colorRules().size());
    ruleColor_->setEnabled(i >= 0);
    ruleRemove_->setEnabled(i >= 0);
    ruleUp_->setEnabled(i > 0);
    ruleDown_->setEnabled(i >= 0 && i + 1 < n);
}

std::optional<QString> FiltersWindow::setScripted(const QString& name, const QString& value) {
    if (name != QLatin1String("colorRule")) return std::nullopt;
    const QString error = pelsid::addColorRule(model_, objectName(), value);
    if (error.isEmpty()) showRules(int(model_.colorRules().size()) - 1);
    return error;
}

void FiltersWindow::paintSwatch(ProtocolClass c) {
    QPalette pal = swatches_[int(c)]->palette();
    pal.setColor(QPalette::Window, QColor::fromRgb(toQRgb(model_.color(c))));
    swatches_[int(c)]->setPalette(pal);
}

void FiltersWindow::chooseColor(ProtocolClass c) {
    model_.setColor(c, dialogs_.chooseColor(model_.color(c)));
    paintSwatch(c);
}

bool FiltersWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonRelease) {
        for (int i = 0; i < kProtocolClassCount; ++i)
            if (watched == swatches_[i]) {
                chooseColor(ProtocolClass(i));
                return true;
            }
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace pelsid
