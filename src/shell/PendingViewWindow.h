#pragma once
#include "views/Surface.h"
#include "views/ViewWindow.h"

namespace pelsid {

/// A view window whose drawing is not built yet: its picture, clear and ScreenShot.
class PendingViewWindow : public ViewWindow {
    Q_OBJECT
  public:
    PendingViewWindow(ViewContext& context, const QString& name, const QString& caption,
                      const char* suffix, int thumbnail);
    void Plot(const PlayedPacket&) override {}
    void plotThumbnail(const PlayedPacket&) override {}
    void clear() override;

  protected:
    std::vector<ShotFile> screenshotFiles() const override;

  private:
    Surface picGraph_;
    const char* suffix_;
    int thumbnail_;
};

}  // namespace pelsid
