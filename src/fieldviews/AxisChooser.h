#pragma once
#include <QString>

class QComboBox;
class QWidget;

namespace pelsid {

/// The hidden template "comboAxis(0)" the choosers of a window are made from.
QComboBox* createChooserTemplate(QWidget* parent);

/// Chooser "comboAxis(k)": the 18 field captions in order, sized and styled
/// like `templ`, with `axisIndex` selected (none when it is out of range).
QComboBox* createAxisChooser(const QComboBox& templ, int k, int axisIndex, QWidget* parent);

/// objectName of a control-array member, e.g. "comboAxis(2)".
QString arrayName(const char* name, int index);

}  // namespace pelsid
