#include "fieldviews/FieldViewRenderer.h"

#include "fieldviews/AxisChooser.h"
#include "fieldviews/HeaderAxes.h"

namespace pelsid {

namespace {
QStringList axisCaptions() {
    QStringList captions;
    for (std::string_view c : kAxisCaptions)
        captions << QString::fromLatin1(c.data(), qsizetype(c.size()));
    return captions;
}
}  // namespace

int FieldViewRenderer::chosenAxis(int axisIndex) {
    return axisIndex >= 0 && axisIndex < kAxisCount ? axisIndex : -1;
}

SettingControl FieldViewRenderer::axisControl(int k, std::function<int()> get,
                                              std::function<void(int)> set) {
    static const QStringList captions = axisCaptions();
    return SettingControl::choice(arrayName("comboAxis", k), captions, std::move(get),
                                  std::move(set));
}

}  // namespace pelsid
