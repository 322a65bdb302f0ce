#pragma once
#include <string>

#include "store/Dialogs.h"

namespace pelsid {

/// Something a reader has to tell the user after (or instead of) a load: shown
/// as one message box with this icon, title and text, in the order given.
struct LoadProblem {
    enum class Severity { Warning, Error };

    Severity severity = Severity::Warning;
    Dialogs::Icon icon = Dialogs::Icon::Warning;
    std::string title;
    std::string text;
};

}  // namespace pelsid
