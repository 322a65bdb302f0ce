// --set reaches a setting by its control's name and takes only the values
// that control takes; a value that does not differ sets nothing off.
#include <gtest/gtest.h>

#include "pipeline/SettingControls.h"

using namespace pelsid;

namespace {

struct Case {
    const char* control;
    const char* value;
    int expected;  // the setting afterwards; -1: refused, nothing set
    int sets;      // how often the setting was applied
};

class ApplySetting : public ::testing::TestWithParam<Case> {};

TEST_P(ApplySetting, TakesWhatTheControlTakes) {
    const Case& c = GetParam();
    int value = 1, sets = 0;
    auto get = [&] { return value; };
    auto set = [&](int v) { value = v, ++sets; };
    const std::vector<SettingControl> controls = {
        SettingControl::choice("cmbMode", {"ASCII", "Hex", "Decimal"}, get, set),
        SettingControl::toggle("tglOn", get, set),
        SettingControl::number("spnSize", 1, 5, get, set), SettingControl::option("optPick", set),
        SettingControl::text("txtName", [](const QString& t) {
            return t.isEmpty() ? QStringLiteral("empty name") : QString();
        })};
    const QString error = applySetting(controls, "frmVis1", c.control, c.value);
    EXPECT_EQ(error.isEmpty(), c.expected >= 0) << error.toStdString();
    EXPECT_EQ(value, c.expected >= 0 ? c.expected : 1);
    EXPECT_EQ(sets, c.sets);
}

INSTANTIATE_TEST_SUITE_P(
    Controls, ApplySetting,
    ::testing::Values(Case{"cmbMode", "ASCII", 0, 1}, Case{"cmbMode", "Decimal", 2, 1},
                      Case{"cmbMode", "Hex", 1, 0}, Case{"cmbMode", "0", 0, 1},
                      Case{"cmbMode", "2", 2, 1}, Case{"cmbMode", "3", -1, 0},
                      Case{"cmbMode", "-1", -1, 0}, Case{"cmbMode", "hex", -1, 0},
                      Case{"tglOn", "0", 0, 1}, Case{"tglOn", "1", 1, 0}, Case{"tglOn", "2", -1, 0},
                      Case{"tglOn", "-1", -1, 0}, Case{"tglOn", "yes", -1, 0},
                      Case{"spnSize", "5", 5, 1}, Case{"spnSize", "6", -1, 0},
                      Case{"spnSize", "0", -1, 0},
                      Case{"optPick", "1", 1, 1},  // clicked even when selected
                      Case{"optPick", "0", -1, 0}, Case{"txtName", "", -1, 0},
                      Case{"txtName", "x", 1, 0}, Case{"lblNone", "1", -1, 0}));

TEST(ApplySetting, NamesTheWindowControlAndValueRefused) {
    const std::vector<SettingControl> controls = {SettingControl::toggle(
        "tglOn", [] { return 0; }, [](int) {})};
    EXPECT_EQ(applySetting(controls, "frmVis2", "tglOn", "7"), "bad value \"7\" for frmVis2.tglOn");
    EXPECT_EQ(applySetting(controls, "frmVis2", "tglOff", "1"), "frmVis2 has no control tglOff");
}

}  // namespace
