#include "fieldviews/ScatterPlotWindow.h"

#include <QComboBox>
#include <QFrame>
#include <algorithm>

#include "fieldviews/AxisChooser.h"
#include "pipeline/GuiThread.h"
#include "views/ViewGeometry.h"
#include "widgets/SurfaceWidget.h"

namespace pelsid {

namespace {

QFrame* greyBar(const QString& name, QWidget* parent) {
    auto* bar = new QFrame(parent);
    bar->setObjectName(name);
    QPalette pal = bar->palette();
    pal.setColor(QPalette::Window, QColor(64, 64, 64));
    bar->setPalette(pal);
    bar->setAutoFillBackground(true);
    return bar;
}

}  // namespace

ScatterPlotWindow::ScatterPlotWindow(ViewContext& context, AxisStore& axes, QWidget* parent)
    : ScatterPlotWindow(context, *new ScatterPlotRenderer(context.thumbnails, axes), true, parent) {
}

ScatterPlotWindow::ScatterPlotWindow(ViewContext& context, ScatterPlotRenderer& renderer,
                                     QWidget* parent)
    : ScatterPlotWindow(context, renderer, false, parent) {}

ScatterPlotWindow::ScatterPlotWindow(ViewContext& context, ScatterPlotRenderer& renderer,
                                     bool ownsRenderer, QWidget* parent)
    : FieldViewWindow(context, renderer, ownsRenderer, QStringLiteral("frmVis5"),
                      QStringLiteral("pelsid: Scatter Plot"), parent),
      view_(renderer) {
    // The bars lie under the picture, which overlaps the vertical one.
    shpVertAxis_ = greyBar(QStringLiteral("shpVertAxis"), this);
    shpHorzAxis_ = greyBar(QStringLiteral("shpHorzAxis"), this);
    shpHorzAxis_->lower();
    shpVertAxis_->lower();
    vertical_ = addAxisChooser(1, view_.settings().vertical,
                               [this](int index) { view_.setAxis(1, index); });
    horizontal_ = addAxisChooser(2, view_.settings().horizontal,
                                 [this](int index) { view_.setAxis(2, index); });

    // A picture of 600 x 400 pixels; a renderer that drew already keeps its picture.
    resize(ScatterPlotRenderer::kPictureWidth + twipsToPixels(375 - 8),
           ScatterPlotRenderer::kPictureHeight + twipsToPixels(1200));
    layingOut();
    place(false);
}

void ScatterPlotWindow::layoutWindow() {
    PELSID_ASSERT_GUI_THREAD();
    layingOut();
    place(true);
}

void ScatterPlotWindow::place(bool redraw) {
    const int barWidth = twipsToPixels(375);
    // The picture overlaps the vertical bar a little and ends at the window's
    // right edge, so every point plotted is on screen.
    const int left = twipsToPixels(375 - 8);
    const int top = vertical_->height() + twipsToPixels(30);
    const int w = std::max(1, width() - left), h = std::max(1, height() - twipsToPixels(1200));
    const Surface& picture = view_.picGraph();
    if (redraw || w != picture.width() || h != picture.height()) view_.resizePicture(w, h);
    picGraphWidget_->setGeometry(left, top, w, h);
    vertical_->move(twipsToPixels(30), 0);
    vertical_->show();
    horizontal_->move(left + w - horizontal_->width() - twipsToPixels(150),
                      top + h + twipsToPixels(100));
    horizontal_->show();
    shpVertAxis_->setGeometry(0, 0, barWidth, height());
    shpHorzAxis_->setGeometry(0, height() - twipsToPixels(750), width(), barWidth);
    horizontal_->raise();
}

}  // namespace pelsid
