#pragma once
#include <QString>
#include <QWidget>
#include <cstdint>

#include "pipeline/PacketView.h"

namespace pelsid {

class PacketBuffer;
class FilterModel;
class Surface;
struct Thumbnails;

/// What every view draws from: the buffer's decoded fields, the colours and
/// the thumbnails. Owned by the application; views borrow it.
struct ViewContext {
    const PacketBuffer& buffer;
    const FilterModel& filters;
    Thumbnails& thumbnails;
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
    /// Resets the look of the thumbnail (only the rainfall and frequency views do anything).
    virtual void initVisThumb() {}
    /// "vis1", "vis2" or empty.
    QString tag() const { return tag_; }

    /// Colour of a packet: its first matching colour rule's, else its protocol's.
    std::uint32_t packetColor(int packetNumber) const;

  protected:
    /// Files written by the default ScreenShot: each surface with its suffix.
    struct ShotFile {
        const Surface* surface;
        const char* suffix;
    };
    virtual std::vector<ShotFile> screenshotFiles() const { return {}; }
    void setTag(const QString& tag) { tag_ = tag; }

    ViewContext& context_;

  private:
    QString tag_;
};

/// Writes one surface as "<folder>/<systemTime><suffix>"; on failure `error`
/// names the file and the reason.
bool saveShot(const Surface& surface, const QString& folder, const QString& systemTime,
              const char* suffix, QString* error);

}  // namespace pelsid
