#pragma once
#include <QDoubleSpinBox>

namespace pelsid {

/// A speed factor from 0.1x to 100x. The arrows, keys and wheel step along
/// 0.1, 0.2, 0.5, 1, 2, 5, ... 100, so every factor is a few steps away; any
/// factor in between may be typed.
class FactorSpinBox : public QDoubleSpinBox {
    Q_OBJECT
  public:
    explicit FactorSpinBox(QWidget* parent = nullptr);

    /// The factor `steps` steps of the 1-2-5 sequence from `value` (up when positive).
    static double stepped(double value, int steps);

    void stepBy(int steps) override;

  protected:
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

  private:
    bool arrowPressed_ = false;
};

}  // namespace pelsid
