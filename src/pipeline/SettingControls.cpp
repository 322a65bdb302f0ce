#include "pipeline/SettingControls.h"

namespace pelsid {

SettingControl SettingControl::choice(const QString& name, const QStringList& entries, Get get,
                                      Set set) {
    SettingControl c;
    c.name = name;
    c.kind = Kind::Choice;
    c.entries = entries;
    c.get = std::move(get);
    c.set = std::move(set);
    return c;
}

SettingControl SettingControl::toggle(const QString& name, Get get, Set set) {
    SettingControl c;
    c.name = name;
    c.get = std::move(get);
    c.set = std::move(set);
    return c;
}

SettingControl SettingControl::number(const QString& name, int minimum, int maximum, Get get,
                                      Set set) {
    SettingControl c;
    c.name = name;
    c.kind = Kind::Number;
    c.minimum = minimum;
    c.maximum = maximum;
    c.get = std::move(get);
    c.set = std::move(set);
    return c;
}

SettingControl SettingControl::option(const QString& name, Set set) {
    SettingControl c;
    c.name = name;
    c.kind = Kind::Option;
    c.set = std::move(set);
    return c;
}

SettingControl SettingControl::text(const QString& name,
                                    std::function<QString(const QString&)> set) {
    SettingControl c;
    c.name = name;
    c.kind = Kind::Text;
    c.setText = std::move(set);
    return c;
}

QString applySetting(const std::vector<SettingControl>& controls, const QString& window,
                     const QString& control, const QString& value) {
    const SettingControl* c = nullptr;
    for (const SettingControl& s : controls)
        if (s.name == control) c = &s;
    if (!c) return QStringLiteral("%1 has no control %2").arg(window, control);
    const QString bad = QStringLiteral("bad value \"%1\" for %2.%3").arg(value, window, control);
    bool isNumber = false;
    int number = value.toInt(&isNumber);
    using Kind = SettingControl::Kind;
    switch (c->kind) {
        case Kind::Text:
            return c->setText(value);
        case Kind::Option:
            if (value != QLatin1String("1")) return bad;
            c->set(1);
            return {};
        case Kind::Choice:
            if (const qsizetype index = c->entries.indexOf(value); index >= 0)
                number = int(index);
            else if (!isNumber || number < 0 || number >= c->entries.size())
                return bad;
            break;
        case Kind::Toggle:
            if (!isNumber || (number != 0 && number != 1)) return bad;
            break;
        case Kind::Number:
            if (!isNumber || number < c->minimum || number > c->maximum) return bad;
            break;
    }
    if (c->get() != number) c->set(number);
    return {};
}

}  // namespace pelsid
