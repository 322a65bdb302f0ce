#include "fieldviews/AxisChooser.h"

#include <QComboBox>
#include <cmath>

#include "fieldviews/HeaderAxes.h"
#include "views/ViewGeometry.h"

namespace pelsid {

QString arrayName(const char* name, int index) {
    return QStringLiteral("%1(%2)").arg(QLatin1String(name)).arg(index);
}

QComboBox* createChooserTemplate(QWidget* parent) {
    auto* templ = new QComboBox(parent);
    templ->setObjectName(arrayName("comboAxis", 0));
    templ->setMaxVisibleItems(kAxisCount);
    templ->resize(twipsToPixels(2250), templ->sizeHint().height());
    templ->hide();
    return templ;
}

QComboBox* createAxisChooser(const QComboBox& templ, int k, int axisIndex, QWidget* parent) {
    auto* chooser = new QComboBox(parent);
    chooser->setObjectName(arrayName("comboAxis", k));
    chooser->setFont(templ.font());
    chooser->setMaxVisibleItems(templ.maxVisibleItems());
    chooser->resize(templ.size());
    for (std::string_view caption : kAxisCaptions)
        chooser->addItem(QString::fromLatin1(caption.data(), qsizetype(caption.size())));
    chooser->setCurrentIndex(axisIndex >= 0 && axisIndex < kAxisCount ? axisIndex : -1);
    return chooser;
}

}  // namespace pelsid
