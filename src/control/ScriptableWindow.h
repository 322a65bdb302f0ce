#pragma once
#include <QString>
#include <optional>

namespace pelsid {

/// A window with settings for `--set WINDOW.NAME=VALUE` that no single control
/// holds, such as a list that each setting adds to.
class ScriptableWindow {
  public:
    virtual ~ScriptableWindow() = default;
    /// Applies the setting: nothing when the window has no setting of that
    /// name, else an error message, empty on success.
    virtual std::optional<QString> setScripted(const QString& name, const QString& value) = 0;
};

}  // namespace pelsid
