#pragma once

#include <QDoubleSpinBox>
#include <QString>

// A number box whose lowest value stands for "not set" and shows a name
// instead of a number ("none", "no rate"); every other value shows with its
// unit. Typing the name, or any start of it, picks the lowest value.
class NamedZeroSpinBox : public QDoubleSpinBox {
public:
    NamedZeroSpinBox(const QString& name, const QString& unit, QWidget* parent = nullptr);

    // The unit shown after every value but the lowest (" mm"; empty: none).
    void SetUnit(const QString& unit);

protected:
    QString textFromValue(double value) const override;
    double valueFromText(const QString& text) const override;
    QValidator::State validate(QString& input, int& pos) const override;

private:
    void ShowUnitFor(double value);

    QString name_;
    QString unit_;
};
