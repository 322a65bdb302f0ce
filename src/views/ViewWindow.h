#pragma once
#include <QString>
#include <QWidget>
#include <cstdint>
#include <memory>
#include <vector>

#include "views/ViewRenderer.h"

namespace pelsid {

class PacketSelection;
class SurfaceWidget;
struct Thumbnails;

/// What every view draws on besides its own pictures: the main window's
/// thumbnails; and the packet selection that links the pictures (none: the
/// pictures answer no pointer). Owned by the application; views borrow it.
struct ViewContext {
    ViewContext(Thumbnails& thumbs, PacketSelection* packetSelection = nullptr)
        : thumbnails(thumbs), selection(packetSelection) {}
    Thumbnails& thumbnails;
    PacketSelection* selection;
};

/// Base of the seven view windows (frmVis1..frmVis7): a top-level window that
/// shows a renderer's pictures and edits its settings. The renderer is
/// borrowed (the application's, which outlives the window) or, for a window
/// made on its own, owned. Created hidden; closing it with its close box
/// discards it.
class ViewWindow : public QWidget {
    Q_OBJECT
  public:
    /// With `ownsRenderer`, the window deletes the renderer when it goes.
    ViewWindow(ViewContext& context, ViewRenderer& renderer, bool ownsRenderer,
               const QString& objectName, const QString& caption, QWidget* parent = nullptr);
    ~ViewWindow() override;

    ViewRenderer& renderer() { return renderer_; }
    bool screenShot(const QString& folder, const QString& systemTime, QString* error) const {
        return renderer_.screenShot(folder, systemTime, error);
    }
    /// The window was hidden from its menu entry, thumbnail or button.
    void menuHidden() { renderer_.menuHidden(); }

    /// The packet whose drawing shows at `pos` of `picture` (0: none).
    std::uint32_t packetAt(SurfaceWidget& picture, QPoint pos) const;
    /// What the tool tip over `pos` of `picture` says: the packet that drew
    /// there with its summary, and in the byte views the byte.
    QString toolTipAt(SurfaceWidget& picture, QPoint pos);
    /// A click at `pos`: selects the packet drawn there, or clears the
    /// selection on an empty spot.
    void clickAt(SurfaceWidget& picture, QPoint pos);

  protected:
    /// Makes `picture` answer the pointer (tool tip, click) and show the
    /// selected packet highlighted.
    void linkPicture(SurfaceWidget* picture);
    /// The selection changed to `packetNumber` (0: none): every linked
    /// picture highlights it.
    virtual void showSelection(int packetNumber);
    /// Escape clears the selection.
    void keyPressEvent(QKeyEvent* event) override;

    ViewContext& context_;

  private:
    std::unique_ptr<ViewRenderer> owned_;  // a window made on its own draws with its own
    ViewRenderer& renderer_;
    std::vector<SurfaceWidget*> pictures_;  // children: they go with the window
};

}  // namespace pelsid
