#pragma once
#include <Qt>

namespace pelsid {

/// A fixed single border with a close box and no minimise or maximise buttons.
inline Qt::WindowFlags fixedWindowFlags() {
    return Qt::Window | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
           Qt::WindowTitleHint | Qt::WindowCloseButtonHint;
}

}  // namespace pelsid
