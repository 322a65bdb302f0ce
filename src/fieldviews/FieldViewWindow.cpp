#include "fieldviews/FieldViewWindow.h"

#include <QComboBox>
#include <QResizeEvent>

#include "fieldviews/AxisChooser.h"
#include "views/ViewGeometry.h"
#include "widgets/SurfaceWidget.h"

namespace pelsid {

FieldViewWindow::FieldViewWindow(ViewContext& context, FieldViewRenderer& renderer,
                                 bool ownsRenderer, const QString& objectName,
                                 const QString& caption, QWidget* parent)
    : ViewWindow(context, renderer, ownsRenderer, objectName, caption, parent),
      picGraphWidget_(new SurfaceWidget(renderer.picGraph(), QStringLiteral("picGraph"), this)) {
    linkPicture(picGraphWidget_);
    setMinimumSize(twipsToPixels(2000), twipsToPixels(3000));
}

QComboBox* FieldViewWindow::addAxisChooser(int k, int axisIndex, std::function<void(int)> chosen) {
    if (!chooserTemplate_) chooserTemplate_ = createChooserTemplate(this);
    QComboBox* c = createAxisChooser(*chooserTemplate_, k, axisIndex, this);
    connect(c, &QComboBox::currentIndexChanged, this, std::move(chosen));
    return c;
}

void FieldViewWindow::resizeEvent(QResizeEvent* event) {
    ViewWindow::resizeEvent(event);
    if (event->size() != laidOut_) layoutWindow();
}

}  // namespace pelsid
