#pragma once
#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

namespace pelsid {

/// A setting known by the objectName of the control that edits it in its
/// window, so `--set WINDOW.CONTROL=VALUE` reaches it with no window built,
/// taking the values that control takes.
struct SettingControl {
    enum class Kind {
        Choice,  // a drop-down: an entry's text or its index
        Toggle,  // a toggle or check box: 0 or 1
        Number,  // a spin box or scroll bar: a number from minimum to maximum
        Option,  // an option button: 1 selects it
        Text,    // a text field: any text, as if typed and confirmed
    };
    QString name;
    Kind kind = Kind::Toggle;
    QStringList entries;  // Choice
    int minimum = 0;      // Number
    int maximum = 0;
    /// The value now: the entry's index, 0/1 or the number.
    std::function<int()> get;
    /// Applies a changed value, with what a change of the control sets off.
    std::function<void(int)> set;
    /// Text: applies it; an error message naming what was refused, else empty.
    std::function<QString(const QString&)> setText;

    using Get = std::function<int()>;
    using Set = std::function<void(int)>;
    static SettingControl choice(const QString& name, const QStringList& entries, Get get, Set set);
    static SettingControl toggle(const QString& name, Get get, Set set);
    static SettingControl number(const QString& name, int minimum, int maximum, Get get, Set set);
    static SettingControl option(const QString& name, Set set);
    static SettingControl text(const QString& name, std::function<QString(const QString&)> set);
};

/// Sets `control` of `window` from text, as its control would take it: only
/// a value that differs changes a drop-down, toggle or number, and an option
/// button is clicked even when selected. An error message, or empty.
QString applySetting(const std::vector<SettingControl>& controls, const QString& window,
                     const QString& control, const QString& value);

}  // namespace pelsid
