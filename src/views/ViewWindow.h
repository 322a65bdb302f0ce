#pragma once
#include <QString>
#include <QWidget>
#include <cstdint>
#include <vector>

#include "pipeline/PacketView.h"

namespace pelsid {

class PacketSelection;
class Surface;
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
/// owns its controls and pictures and draws packets handed over by the
/// pipeline. Created hidden; closing it with its close box discards it.
class ViewWindow : public QWidget, public PacketView {
    Q_OBJECT
  public:
    ViewWindow(ViewContext& context, const QString& objectName, const QString& caption,
               QWidget* parent = nullptr);

    /// Saves the view's pictures as "<folder>/<systemTime><suffix>" bitmaps.
    /// Returns false with the file and reason in `error` at the first failure.
    virtual bool ScreenShot(const QString& folder, const QString& systemTime, QString* error);
    /// The window was hidden from its menu entry, thumbnail or button.
    virtual void menuHidden() {}
    /// The PVR's range strip chose a range that is about to play.
    virtual void rangeChosen() {}

    /// The packet whose drawing shows at `pos` of `picture` (0: none).
    virtual std::uint32_t packetAt(SurfaceWidget& picture, QPoint pos);
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
    /// The tool tip's line about the byte at `pos` drawn by `packet` (null:
    /// no packet drew there); empty for none.
    virtual QString byteText(SurfaceWidget& picture, QPoint pos, const PlayedPacket* packet) const;
    /// The selection changed to `packetNumber` (0: none): every linked
    /// picture highlights it.
    virtual void showSelection(int packetNumber);
    /// Escape clears the selection.
    void keyPressEvent(QKeyEvent* event) override;

    /// Files written by the default ScreenShot: each surface with its suffix.
    struct ShotFile {
        const Surface* surface;
        const char* suffix;
    };
    virtual std::vector<ShotFile> screenshotFiles() const { return {}; }

    ViewContext& context_;

  private:
    std::vector<SurfaceWidget*> pictures_;  // children: they go with the window
};

/// "byte N: 0xVV" (with ", bit B" when bit >= 0) for byte `offset` of
/// `packet`; empty beyond the packet.
QString byteDescription(int offset, int bit, const PlayedPacket& packet);

/// Writes one surface as "<folder>/<systemTime><suffix>"; on failure `error`
/// names the file and the reason.
bool saveShot(const Surface& surface, const QString& folder, const QString& systemTime,
              const char* suffix, QString* error);

}  // namespace pelsid
