#include "formatdlg/SizeSpinBox.h"

#include <algorithm>
#include <limits>

namespace kesh::ui {

SizeSpinBox::SizeSpinBox(QWidget* parent) : QSpinBox(parent) {
    setRange(std::numeric_limits<int>::min(), std::numeric_limits<int>::max());
    setMinimumWidth(70);
    setMaximumWidth(110);
}

void SizeSpinBox::setStepRange(int low, int high) {
    m_stepLow = low;
    m_stepHigh = high;
}

void SizeSpinBox::stepBy(int steps) {
    const long long stepped = static_cast<long long>(value()) + steps;
    setValue(static_cast<int>(std::clamp<long long>(stepped, m_stepLow, m_stepHigh)));
    selectAll();
}

QAbstractSpinBox::StepEnabled SizeSpinBox::stepEnabled() const {
    if (isReadOnly() || !isEnabled()) {
        return StepNone;
    }
    StepEnabled enabled = StepNone;
    if (value() < m_stepHigh) {
        enabled |= StepUpEnabled;
    }
    if (value() > m_stepLow) {
        enabled |= StepDownEnabled;
    }
    return enabled;
}

} // namespace kesh::ui
