#pragma once
#include <QWidget>
#include <array>
#include <cstdint>

class QFrame;

namespace pelsid {

class Dialogs;

/// The Settings window (frmSettings): five colour buttons, each filling the
/// swatch beside it. No other part of the program reads the swatches.
class SettingsWindow : public QWidget {
    Q_OBJECT
  public:
    static constexpr int kSwatches = 5;

    explicit SettingsWindow(Dialogs& dialogs, QWidget* parent = nullptr);

    /// Colour of swatch Shape1(index), red in the low byte.
    std::uint32_t swatch(int index) const { return colors_[index]; }

  private:
    void chooseColor(int index);
    void paintSwatch(int index);

    Dialogs& dialogs_;
    std::array<std::uint32_t, kSwatches> colors_{};
    std::array<QFrame*, kSwatches> shapes_{};
};

}  // namespace pelsid
