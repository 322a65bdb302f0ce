#pragma once
#include <QString>
#include <QWidget>
#include <cstdint>

#include "pipeline/PacketView.h"

namespace pelsid {

class Surface;
struct Thumbnails;

/// What every view draws on besides its own pictures: the main window's
/// thumbnails. Owned by the application; views borrow it.
struct ViewContext {
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
    /// The window was hidden from its menu entry, thumbnail or button.
    virtual void menuHidden() {}
    /// The PVR's range strip chose a range that is about to play.
    virtual void rangeChosen() {}

  protected:
    /// Files written by the default ScreenShot: each surface with its suffix.
    struct ShotFile {
        const Surface* surface;
        const char* suffix;
    };
    virtual std::vector<ShotFile> screenshotFiles() const { return {}; }

    ViewContext& context_;
};

/// Writes one surface as "<folder>/<systemTime><suffix>"; on failure `error`
/// names the file and the reason.
bool saveShot(const Surface& surface, const QString& folder, const QString& systemTime,
              const char* suffix, QString* error);

}  // namespace pelsid
