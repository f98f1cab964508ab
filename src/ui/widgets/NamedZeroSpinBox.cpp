#include "ui/widgets/NamedZeroSpinBox.h"

NamedZeroSpinBox::NamedZeroSpinBox(const QString& name, const QString& unit, QWidget* parent)
    : QDoubleSpinBox(parent), name_(name), unit_(unit) {
    connect(this, &QDoubleSpinBox::valueChanged, this, [this](double value) { ShowUnitFor(value); });
    ShowUnitFor(value());
}

void NamedZeroSpinBox::SetUnit(const QString& unit) {
    unit_ = unit;
    ShowUnitFor(value());
}

// The name stands alone: the unit shows only beside a number.
void NamedZeroSpinBox::ShowUnitFor(double value) {
    setSuffix(value == minimum() ? QString() : unit_);
}

QString NamedZeroSpinBox::textFromValue(double value) const {
    return value == minimum() ? name_ : QDoubleSpinBox::textFromValue(value);
}

double NamedZeroSpinBox::valueFromText(const QString& text) const {
    return text == name_ ? minimum() : QDoubleSpinBox::valueFromText(text);
}

QValidator::State NamedZeroSpinBox::validate(QString& input, int& pos) const {
    if (input == name_) return QValidator::Acceptable;
    if (!input.isEmpty() && name_.startsWith(input)) return QValidator::Intermediate;
    return QDoubleSpinBox::validate(input, pos);
}
