#pragma once
#include <QWidget>
#include <array>

#include "pipeline/FilterModel.h"

class QPushButton;

namespace pelsid {

class Dialogs;

/// frmEncodings: one toggle per protocol class that hides its packets while
/// pressed, and a colour swatch per class that opens the colour chooser. The
/// window edits the FilterModel; creating it resets the model to its defaults.
class FiltersWindow : public QWidget {
    Q_OBJECT
  public:
    FiltersWindow(FilterModel& model, Dialogs& dialogs, QWidget* parent = nullptr);

    /// Opens the colour chooser for a class, starting from its colour.
    void chooseColor(ProtocolClass c);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void paintSwatch(ProtocolClass c);

    FilterModel& model_;
    Dialogs& dialogs_;
    std::array<QPushButton*, kProtocolClassCount> toggles_{};
    std::array<QWidget*, kProtocolClassCount> swatches_{};
};

}  // namespace pelsid
