#pragma once
#include <QWidget>
#include <array>

#include "control/ScriptableWindow.h"
#include "pipeline/FilterModel.h"

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace pelsid {

class Dialogs;

/// frmEncodings: one toggle per protocol class that hides its packets while
/// pressed, and a colour swatch per class that opens the colour chooser;
/// below them the display filter and the ordered colour rules, both in
/// libpcap's filter language. The window edits the FilterModel; creating it
/// resets the model to its defaults.
class FiltersWindow : public QWidget, public ScriptableWindow {
    Q_OBJECT
  public:
    FiltersWindow(FilterModel& model, Dialogs& dialogs, QWidget* parent = nullptr);

    /// Opens the colour chooser for a class, starting from its colour.
    void chooseColor(ProtocolClass c);

    /// Puts the display filter's text in force; false when libpcap refuses
    /// it, which leaves the one in force and marks the field with the message.
    bool applyDisplayFilter();
    /// Adds a rule for the new-rule field's expression, with the colour the
    /// chooser gives; false when libpcap refuses the expression.
    bool addColorRule();
    /// Opens the colour chooser for the selected rule.
    void chooseRuleColor();
    /// Moves the selected rule up (-1) or down (+1).
    void moveRule(int step);
    void removeRule();

    /// `colorRule` = "EXPR:RRGGBB" adds a rule.
    std::optional<QString> setScripted(const QString& name, const QString& value) override;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void paintSwatch(ProtocolClass c);
    void buildExpressionControls(int top);
    /// Lists the model's rules afresh, `selected` the current one.
    void showRules(int selected);
    int selectedRule() const;
    void updateRuleButtons();

    FilterModel& model_;
    Dialogs& dialogs_;
    std::array<QPushButton*, kProtocolClassCount> toggles_{};
    std::array<QWidget*, kProtocolClassCount> swatches_{};
    QLabel* displayFilterError_ = nullptr;
    QLineEdit* displayFilter_ = nullptr;
    QListWidget* rules_ = nullptr;
    QLineEdit* newRule_ = nullptr;
    QPushButton* ruleColor_ = nullptr;
    QPushButton* ruleUp_ = nullptr;
    QPushButton* ruleDown_ = nullptr;
    QPushButton* ruleRemove_ = nullptr;
};

/// Marks an expression field refused by libpcap: red, the message in its
/// "error" property (which `--set` reports) and as its tool tip, followed by
/// `note`; an empty message clears the mark.
void markExpressionField(QLineEdit* field, const QString& message, const QString& note = {});

}  // namespace pelsid
