#pragma once
#include <QString>
#include <array>
#include <vector>

#include "pipeline/SettingControls.h"
#include "store/ProtocolClass.h"

namespace pelsid {

class FilterModel;

/// A row of the Filters window: a protocol class's toggle and its swatch.
struct FilterRow {
    ProtocolClass cls;
    const char* toggle;
    const char* caption;
    const char* swatch;
};
/// Top to bottom as the window shows them.
extern const std::array<FilterRow, 6> kFilterRows;

/// The Filters window's (frmEncodings) settings by the names of its
/// controls, applied to `model` with no window: the class toggles,
/// txtDisplayFilter, and colorRule, which adds a rule each time.
std::vector<SettingControl> filterSettingControls(FilterModel& model);

/// Adds the rule "EXPRESSION:RRGGBB" of window `window` to `model`: an error
/// message, or empty.
QString addColorRule(FilterModel& model, const QString& window, const QString& value);

}  // namespace pelsid
