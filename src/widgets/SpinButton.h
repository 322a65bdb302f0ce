#pragma once
#include <QSpinBox>
#include <QTimer>

namespace pelsid {

/// A spin button: a pair of up/down arrows filling its place, for places too
/// small to show a number; a label beside it shows the value. Keyboard and
/// wheel step it as they step a spin box, and it stays a QSpinBox to its
/// owners.
class SpinButton : public QSpinBox {
    Q_OBJECT
  public:
    explicit SpinButton(QWidget* parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

  protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent*) override;
    void mouseReleaseEvent(QMouseEvent*) override;
    void mouseMoveEvent(QMouseEvent*) override;
    void mouseDoubleClickEvent(QMouseEvent*) override;

  private:
    /// +1 for the upper arrow, -1 for the lower.
    int arrowAt(QPoint pos) const;
    void repeatStep();

    int held_ = 0;  // the arrow held down, 0 for none
    QTimer repeat_;
};

}  // namespace pelsid
