#pragma once
#include <QWidget>
#include <cstdint>

namespace pelsid {

class Surface;

/// Shows a Surface and repaints it when it has changed (checked about 30
/// times a second, so drawing a packet never waits for a paint). Reports
/// mouse gestures; the surface belongs to someone else.
class SurfaceWidget : public QWidget {
    Q_OBJECT
  public:
    SurfaceWidget(Surface& surface, const QString& objectName, QWidget* parent = nullptr);

    Surface& surface() { return surface_; }
    /// Single-line border (true) or none.
    void setBordered(bool bordered);
    bool bordered() const { return bordered_; }
    /// Repaint now if the surface changed.
    void refresh();
    /// Lays the highlight over the drawing of packet `packetNumber` (0: none).
    /// Only the screen shows it: the surface, and so its screenshots, are untouched.
    void setHighlight(std::uint32_t packetNumber);
    std::uint32_t highlight() const { return highlight_; }

    /// The highlight's colour: magenta, which no protocol colour is by default.
    static constexpr QRgb kHighlight = 0xFFFF00FF;

  signals:
    /// A left-button click; a double-click is one click.
    void clicked();
    /// The same click, with where it was released.
    void clickedAt(QPoint pos);
    void doubleClicked();
    void mouseMoved(QPoint pos);
    void mousePressed(QPoint pos);
    void mouseReleased(QPoint pos);

  protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent*) override;
    void mouseReleaseEvent(QMouseEvent*) override;
    void mouseDoubleClickEvent(QMouseEvent*) override;
    void mouseMoveEvent(QMouseEvent*) override;
    void timerEvent(QTimerEvent*) override;

  private:
    Surface& surface_;
    bool bordered_ = false;
    bool doubleClicking_ = false;  // between a double-click's second press and its release
    std::uint64_t shownRevision_ = ~std::uint64_t(0);
    std::uint32_t highlight_ = 0;
};

}  // namespace pelsid
