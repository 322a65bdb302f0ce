#include "fieldviews/CombinedWindow.h"

#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QSpinBox>
#include <algorithm>
#include <cmath>

#include "fieldviews/AxisChooser.h"
#include "pipeline/GuiThread.h"
#include "views/ViewGeometry.h"
#include "widgets/SpinButton.h"
#include "widgets/SurfaceWidget.h"

namespace pelsid {

namespace {

QFrame* axisLine(const QString& name, QWidget* parent) {
    auto* line = new QFrame(parent);
    line->setObjectName(name);
    QPalette pal = line->palette();
    pal.setColor(QPalette::Window, QColor(128, 128, 128));
    line->setPalette(pal);
    line->setAutoFillBackground(true);
    return line;
}

}  // namespace

CombinedWindow::CombinedWindow(ViewContext& context, AxisStore& axes, QWidget* parent)
    : CombinedWindow(context, *new CombinedRenderer(context.thumbnails, axes), true, parent) {}

CombinedWindow::CombinedWindow(ViewContext& context, CombinedRenderer& renderer, QWidget* parent)
    : CombinedWindow(context, renderer, false, parent) {}

CombinedWindow::CombinedWindow(ViewContext& context, CombinedRenderer& renderer, bool ownsRenderer,
                               QWidget* parent)
    : FieldViewWindow(context, renderer, ownsRenderer, QStringLiteral("frmVis6"),
                      QStringLiteral("pelsid: Combined Visualization"), parent),
      view_(renderer) {
    leftWidget_ =
        new SurfaceWidget(view_.leftStrip().front(), QStringLiteral("picgraphLeftFront"), this);
    rightWidget_ =
        new SurfaceWidget(view_.rightStrip().front(), QStringLiteral("picgraphRightFront"), this);
    lineLeftAxis_ = axisLine(QStringLiteral("lineLeftAxis"), leftWidget_);
    linerightAxis_ = axisLine(QStringLiteral("linerightAxis"), rightWidget_);
    linkPicture(leftWidget_);
    linkPicture(rightWidget_);
    // Qt's counterpart of scrolling a chooser's list is moving its selection
    // (wheel, keys or the list): stored at once.
    comboLeft_ =
        addAxisChooser(1, view_.settings().left, [this](int index) { view_.setAxis(1, index); });
    comboRight_ =
        addAxisChooser(2, view_.settings().right, [this](int index) { view_.setAxis(2, index); });

    const int quantum = view_.settings().quantum;
    lblBucketsCaption_ = new QLabel(QStringLiteral("packets per quantum"), this);
    lblBucketsCaption_->setObjectName(QStringLiteral("lblBucketsCaption"));
    lblBucketsCaption_->adjustSize();
    lblBuckets_ = new QLabel(QString::number(quantum), this);
    lblBuckets_->setObjectName(QStringLiteral("lblBuckets"));
    lblBuckets_->setAlignment(Qt::AlignCenter);
    spnBuckets_ = new SpinButton(this);
    spnBuckets_->setObjectName(QStringLiteral("spnBuckets"));
    spnBuckets_->setRange(1, 99);
    spnBuckets_->setValue(quantum);
    spnBuckets_->resize(spnBuckets_->sizeHint());
    lblBuckets_->resize(24, spnBuckets_->height());
    connect(spnBuckets_, &QSpinBox::valueChanged, this, [this](int value) {
        view_.setQuantum(value);
        lblBuckets_->setText(QString::number(value));
    });

    // A 200 x 400 centre picture between two strips of 399 x 400; a renderer
    // that drew already keeps its pictures.
    resize(1000, CombinedRenderer::kPictureHeight + twipsToPixels(1400));
    layingOut();
    place(false);
    startTimer(33);
}

void CombinedWindow::timerEvent(QTimerEvent*) {
    // The strips are composed for the screen only while someone can see them.
    if (!isVisible()) return;
    view_.leftStrip().front();
    view_.rightStrip().front();
}

void CombinedWindow::layoutWindow() {
    PELSID_ASSERT_GUI_THREAD();
    layingOut();
    place(true);
}

void CombinedWindow::place(bool redraw) {
    const int h = std::max(1, height() - twipsToPixels(1400));
    const int w = std::max(1, int(std::nearbyint(0.2 * width())));
    const int left = int(std::nearbyint(width() / 2.0 - w / 2.0));
    const int stripWidth = std::max(1, left - 1);  // less the axis line's border
    const Surface& centre = view_.picGraph();
    if (redraw || centre.width() != w || centre.height() != h ||
        view_.leftStrip().width() != stripWidth)
        view_.layout(w, stripWidth, h);
    picGraphWidget_->setGeometry(left, 0, w, h);
    leftWidget_->setGeometry(0, 0, stripWidth, h);
    rightWidget_->setGeometry(left + w, 0, stripWidth, h);
    lineLeftAxis_->setGeometry(stripWidth - 1, 0, 1, h);
    linerightAxis_->setGeometry(0, 0, 1, h);

    const int top = h + twipsToPixels(50);
    comboLeft_->move(left - comboLeft_->width() / 2, top);
    comboRight_->move(left + w - comboRight_->width() / 2, top);
    comboLeft_->show();
    comboRight_->show();

    const int rowTop = top + comboLeft_->height() + twipsToPixels(150);
    const int group = lblBucketsCaption_->width() + lblBuckets_->width() + spnBuckets_->width();
    const int x = width() / 2 - group / 2;
    lblBucketsCaption_->move(
        x, h + comboLeft_->height() + lblBuckets_->height() / 2 + lblBucketsCaption_->height() / 3);
    lblBuckets_->move(x + lblBucketsCaption_->width(), rowTop);
    spnBuckets_->move(lblBuckets_->geometry().right() + 1, rowTop);
}

}  // namespace pelsid
