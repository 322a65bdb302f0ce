#pragma once
#include <QString>
#include <array>
#include <memory>

#include "pipeline/PacketView.h"
#include "views/ViewRenderer.h"

namespace pelsid {

class AxisStore;
class ViewWindow;
struct Thumbnails;
struct ViewContext;

/// The seven views' renderers in the pipeline's order (text rainfall, byte
/// frequency, parallel coordinates, binary rainfall, scatter plot, combined,
/// detail), each made on first use. Builds no widget.
class ViewRenderers {
  public:
    ViewRenderers(Thumbnails& thumbnails, AxisStore& axes);
    ~ViewRenderers();

    /// Renderer 0..6, made if it does not exist.
    ViewRenderer& at(int index);
    /// Renderer 0..6 if it exists, else null.
    ViewRenderer* existing(int index) const { return views_[std::size_t(index)].get(); }
    /// Forgets renderer `index` (its window was closed): the next use makes
    /// it afresh, with its defaults and the axes it stored.
    void discard(int index) { views_[std::size_t(index)].reset(); }
    /// A new window (frmVisN) hosting renderer `index`.
    ViewWindow* makeWindow(int index, ViewContext& context);

    /// frmVis1 .. frmVis7.
    static QString windowName(int index);
    /// The index of a window name, -1 for none.
    static int indexOf(const QString& windowName);

  private:
    Thumbnails& thumbnails_;
    AxisStore& axes_;
    std::array<std::unique_ptr<ViewRenderer>, ViewSet::kViewCount> views_;
};

}  // namespace pelsid
