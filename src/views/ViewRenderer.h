#pragma once
#include <QPoint>
#include <QString>
#include <cstdint>
#include <vector>

#include "pipeline/PacketView.h"
#include "pipeline/SettingControls.h"

namespace pelsid {

class Surface;
struct Thumbnails;

/// A view without its window: its settings, its pictures with their pick
/// maps and the drawing of packets into them and into its thumbnail. The
/// pipeline drives it whether a window shows it or not; a window (if any)
/// shows its pictures and edits its settings. Needs no widget.
class ViewRenderer : public PacketView {
  public:
    explicit ViewRenderer(Thumbnails& thumbnails) : thumbnails_(thumbnails) {}

    /// A picture of the view and the suffix of its screenshot file.
    struct ShotFile {
        const Surface* surface;
        const char* suffix;
    };
    /// The pictures a screenshot writes, in order.
    virtual std::vector<ShotFile> screenshotFiles() const { return {}; }
    /// Saves the view's pictures as "<folder>/<systemTime><suffix>" bitmaps.
    /// Returns false with the file and reason in `error` at the first failure.
    bool screenShot(const QString& folder, const QString& systemTime, QString* error) const;

    /// The picture shown by the control named `name` ("picGraph", ...); null for none.
    virtual const Surface* picture(const QString& name) const;
    /// The packet whose drawing shows at `pos` of picture `name` (0: none).
    virtual std::uint32_t packetAt(const QString& name, QPoint pos) const;
    /// The tool tip's line about the byte at `pos` of picture `name` drawn
    /// by `packet` (null: no packet drew there); empty for none.
    virtual QString byteText(const QString& name, QPoint pos, const PlayedPacket* packet) const;

    /// The settings by the names of the controls that edit them.
    virtual std::vector<SettingControl> settingControls() { return {}; }

    /// The window was hidden from its menu entry, thumbnail or button.
    virtual void menuHidden() {}
    /// The PVR's range strip chose a range that is about to play.
    virtual void rangeChosen() {}

  protected:
    Thumbnails& thumbnails_;
};

/// "byte N: 0xVV" (with ", bit B" when bit >= 0) for byte `offset` of
/// `packet`; empty beyond the packet.
QString byteDescription(int offset, int bit, const PlayedPacket& packet);

/// Writes one surface as "<folder>/<systemTime><suffix>"; on failure `error`
/// names the file and the reason.
bool saveShot(const Surface& surface, const QString& folder, const QString& systemTime,
              const char* suffix, QString* error);

}  // namespace pelsid
