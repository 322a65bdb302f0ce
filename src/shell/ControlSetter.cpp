#include "shell/ControlSetter.h"

#include <QAbstractButton>
#include <QAbstractSlider>
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QSpinBox>
#include <QWidget>

#include "control/ScriptableWindow.h"

namespace pelsid {

QString setControl(QWidget* window, const QString& control, const QString& value) {
    if (auto* s = dynamic_cast<ScriptableWindow*>(window))
        if (std::optional<QString> done = s->setScripted(control, value)) return *done;
    QWidget* w = window->findChild<QWidget*>(control);
    if (!w) return QStringLiteral("%1 has no control %2").arg(window->objectName(), control);
    const auto bad = [&] {
        return QStringLiteral("bad value \"%1\" for %2.%3")
            .arg(value, window->objectName(), control);
    };
    bool isNumber = false;
    const int number = value.toInt(&isNumber);

    if (auto* c = qobject_cast<QComboBox*>(w)) {
        int index = c->findText(value);
        if (index < 0 && isNumber && number >= 0 && number < c->count()) index = number;
        if (index < 0) return bad();
        c->setCurrentIndex(index);
        return {};
    }
    if (auto* r = qobject_cast<QRadioButton*>(w)) {
        if (value != QLatin1String("1")) return bad();
        r->click();
        return {};
    }
    if (auto* b = qobject_cast<QAbstractButton*>(w)) {
        if (!b->isCheckable() || !isNumber || (number != 0 && number != 1)) return bad();
        if (b->isChecked() != (number == 1)) b->click();
        return {};
    }
    if (auto* s = qobject_cast<QSpinBox*>(w)) {
        if (!isNumber || number < s->minimum() || number > s->maximum()) return bad();
        s->setValue(number);
        return {};
    }
    if (auto* s = qobject_cast<QAbstractSlider*>(w)) {
        if (!isNumber || number < s->minimum() || number > s->maximum()) return bad();
        s->setValue(number);
        return {};
    }
    if (auto* e = qobject_cast<QLineEdit*>(w)) {
        // As if typed and confirmed; a field that refuses its text says why.
        e->setText(value);
        emit e->editingFinished();
        const QString refused = e->property("error").toString();
        if (!refused.isEmpty())
            return QStringLiteral("%1.%2 \"%3\": %4")
                .arg(window->objectName(), control, value, refused);
        return {};
    }
    return QStringLiteral("%1.%2 cannot be set").arg(window->objectName(), control);
}

}  // namespace pelsid
