#pragma once
#include <QWidget>

namespace pelsid {

/// The empty windows that stand in the (hidden) menu for preference and
/// saving functions the program does not perform.
class PlaceholderWindow : public QWidget {
    Q_OBJECT
  public:
    enum class Kind { LoadPreferences, SavePreferences, SaveDataset, SaveScreenshots };

    explicit PlaceholderWindow(Kind kind, QWidget* parent = nullptr);

    /// objectName of the window of that kind, e.g. "frmLoadPreferences".
    static QString nameOf(Kind kind);
    static QString captionOf(Kind kind);
};

}  // namespace pelsid
