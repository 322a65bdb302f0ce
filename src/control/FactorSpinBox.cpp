#include "control/FactorSpinBox.h"

#include <QMouseEvent>
#include <algorithm>
#include <array>

#include "control/RealTimePacer.h"

namespace pelsid {

namespace {
constexpr std::array<double, 10> kSteps = {0.1, 0.2, 0.5, 1, 2, 5, 10, 20, 50, 100};
}  // namespace

FactorSpinBox::FactorSpinBox(QWidget* parent) : QDoubleSpinBox(parent) {
    setDecimals(1);
    setRange(RealTimePacer::kMinFactor, RealTimePacer::kMaxFactor);
    setValue(1);
    setSuffix(QStringLiteral("\u00D7"));
    setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    setKeyboardTracking(false);
}

double FactorSpinBox::stepped(double value, int steps) {
    for (; steps > 0; --steps) {
        const auto next = std::upper_bound(kSteps.begin(), kSteps.end(), value + 1e-9);
        value = next == kSteps.end() ? kSteps.back() : *next;
    }
    for (; steps < 0; ++steps) {
        const auto below = std::lower_bound(kSteps.begin(), kSteps.end(), value - 1e-9);
        value = below == kSteps.begin() ? kSteps.front() : *(below - 1);
    }
    return value;
}

void FactorSpinBox::stepBy(int steps) {
    setValue(stepped(value(), steps));
    if (!arrowPressed_) selectAll();
}

// Presses on the text go to the line edit; those that reach the box itself
// are on its arrows.
void FactorSpinBox::mousePressEvent(QMouseEvent* e) {
    arrowPressed_ = true;
    QDoubleSpinBox::mousePressEvent(e);
}

void FactorSpinBox::mouseReleaseEvent(QMouseEvent* e) {
    QDoubleSpinBox::mouseReleaseEvent(e);
    // The arrows keep the focus only while held (it drives their repeat);
    // then it goes back, so the window's playback keys are not eaten.
    if (arrowPressed_) clearFocus();
    arrowPressed_ = false;
}

}  // namespace pelsid
