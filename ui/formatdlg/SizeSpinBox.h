#pragma once

#include <QSpinBox>

namespace kesh::ui {

// An integer field with arrow buttons. Any integer may be typed, so a value
// from a file shows as it is and the dialog's own check reports it; the
// arrows only step within the step range.
class SizeSpinBox : public QSpinBox {
    Q_OBJECT
public:
    explicit SizeSpinBox(QWidget* parent = nullptr);

    void setStepRange(int low, int high);
    int stepLow() const { return m_stepLow; }
    int stepHigh() const { return m_stepHigh; }

    void stepBy(int steps) override;

protected:
    StepEnabled stepEnabled() const override;

private:
    int m_stepLow = 0;
    int m_stepHigh = 100;
};

} // namespace kesh::ui
