#include "fieldviews/ParallelPlotWindow.h"

#include <QComboBox>
#include <QLabel>
#include <QSpinBox>
#include <algorithm>

#include "pipeline/GuiThread.h"
#include "views/ViewGeometry.h"
#include "widgets/SpinButton.h"
#include "widgets/SurfaceWidget.h"

namespace pelsid {

ParallelPlotWindow::ParallelPlotWindow(ViewContext& context, AxisStore& axes, QWidget* parent)
    : ParallelPlotWindow(context, *new ParallelPlotRenderer(context.thumbnails, axes), true,
                         parent) {}

ParallelPlotWindow::ParallelPlotWindow(ViewContext& context, ParallelPlotRenderer& renderer,
                                       QWidget* parent)
    : ParallelPlotWindow(context, renderer, false, parent) {}

ParallelPlotWindow::ParallelPlotWindow(ViewContext& context, ParallelPlotRenderer& renderer,
                                       bool ownsRenderer, QWidget* parent)
    : FieldViewWindow(context, renderer, ownsRenderer, QStringLiteral("frmVis3"),
                      QStringLiteral("pelsid: Parallel Coordinate Plot"), parent),
      view_(renderer) {
    for (int k = 1; k <= kMaxAxes; ++k)
        comboAxis_[k - 1] = addAxisChooser(k, view_.settings().axis[k - 1],
                                           [this, k](int index) { view_.setAxis(k, index); });

    spnNumAxes_ = new SpinButton(this);
    spnNumAxes_->setObjectName(QStringLiteral("spnNumAxes"));
    spnNumAxes_->setRange(2, kMaxAxes);
    spnNumAxes_->setValue(view_.numAxes());
    spnNumAxes_->resize(spnNumAxes_->sizeHint());
    lblNumAxes_ = new QLabel(QString::number(view_.numAxes()), this);
    lblNumAxes_->setObjectName(QStringLiteral("lblNumAxes"));
    lblNumAxesCaption_ = new QLabel(QStringLiteral("Number of Axes"), this);
    lblNumAxesCaption_->setObjectName(QStringLiteral("lblNumAxesCaption"));
    lblNumAxesCaption_->adjustSize();
    connect(spnNumAxes_, &QSpinBox::valueChanged, this, [this](int value) {
        lblNumAxes_->setText(QString::number(value));
        view_.setNumAxes(value);
        layoutWindow();
    });

    // A picture of 600 x 400 pixels with 1300 twips of controls below; a
    // renderer that drew already keeps its picture.
    resize(ParallelPlotRenderer::kPictureWidth,
           ParallelPlotRenderer::kPictureHeight + twipsToPixels(1300));
    if (pictureSize() == QSize(view_.picGraph().width(), view_.picGraph().height())) {
        layingOut();
        placeControls();
    } else {
        layoutWindow();
    }
}

QSize ParallelPlotWindow::pictureSize() const {
    return {width(), std::max(1, height() - twipsToPixels(1300))};
}

void ParallelPlotWindow::layoutWindow() {
    PELSID_ASSERT_GUI_THREAD();
    layingOut();
    const QSize size = pictureSize();
    view_.layout(size.width(), size.height());
    placeControls();
}

void ParallelPlotWindow::placeControls() {
    const Surface& picture = view_.picGraph();
    const int w = picture.width(), h = picture.height();
    picGraphWidget_->setGeometry(0, 0, w, h);
    for (QComboBox* c : comboAxis_) c->hide();

    // Choosers shrink rather than overlap. The first and last sit half a
    // chooser inward of their axes, so each needs room for one and a half
    // choosers (less the last one's inset) beside its neighbour.
    const int numAxes = view_.numAxes();
    constexpr int kGap = 4;
    const int step = w / (numAxes - 1);
    const int inset = twipsToPixels(100);
    const int room = numAxes == 2 ? (w - inset - kGap) / 2 : (step - inset - kGap) * 2 / 3;
    const int cw = std::min(twipsToPixels(2250), std::max(16, room));
    const int chooserTop = h + twipsToPixels(50);
    for (int k = 1; k <= numAxes; ++k) {
        QComboBox* c = comboAxis(k);
        int left = view_.axisX(k) - cw / 2;
        if (k == 1) left = 0;
        if (k == numAxes) left = w - inset - cw;
        c->setGeometry(left, chooserTop, cw, c->height());
        c->show();
    }

    const QComboBox* first = comboAxis(1);
    const int top = first->geometry().bottom() + 1 + twipsToPixels(150);
    lblNumAxesCaption_->move(4, top + (spnNumAxes_->height() - lblNumAxesCaption_->height()) / 2);
    lblNumAxes_->setGeometry(lblNumAxesCaption_->geometry().right() + 8, top, 24,
                             spnNumAxes_->height());
    spnNumAxes_->move(lblNumAxes_->geometry().right() + 1, top);
}

}  // namespace pelsid
