#pragma once
#include <QString>

class QWidget;

namespace pelsid {

/// Sets a control of a window from text, as `--set WINDOW.CONTROL=VALUE` asks:
/// a drop-down takes an entry text or index, a toggle or check box 0/1, a spin
/// box or scroll bar a number, an option button 1, a line edit any text (as if
/// typed and confirmed with Enter). A window's own settings that no single
/// control holds come first (ScriptableWindow). Returns an error message
/// naming what was wrong, or empty on success.
QString setControl(QWidget* window, const QString& control, const QString& value);

}  // namespace pelsid
