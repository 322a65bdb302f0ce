#pragma once

class QWidget;

namespace pelsid {

/// The program's window background: dark grey with white text.
void paintDarkGrey(QWidget* w);

}  // namespace pelsid
