#include "fieldviews/FieldViewWindow.h"

#include <QComboBox>
#include <QResizeEvent>

#include "fieldviews/AxisChooser.h"
#include "views/SurfaceWidget.h"
#include "views/ViewGeometry.h"

namespace pelsid {

FieldViewWindow::FieldViewWindow(ViewContext& context, AxisStore& axes, const QString& objectName,
                                 const QString& caption, QWidget* parent)
    : ViewWindow(context, objectName, caption, parent),
      axes_(axes),
      picGraphWidget_(new SurfaceWidget(picGraph_, QStringLiteral("picGraph"), this)) {
    picGraph_.enablePicks();
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
