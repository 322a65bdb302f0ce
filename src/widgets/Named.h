#pragma once
#include <QString>
#include <QWidget>
#include <utility>

namespace pelsid {

/// A new control carrying its name as objectName, so it can be found by it.
template <class Control, class... Args>
Control* named(const char* name, Args&&... args) {
    auto* control = new Control(std::forward<Args>(args)...);
    control->setObjectName(QLatin1String(name));
    return control;
}

}  // namespace pelsid
