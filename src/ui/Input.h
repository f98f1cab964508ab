#pragma once

#include <QDialog>
#include <QString>

// The call record of the input pad: integer or decimal mode, limits, digit
// counts and the start text (the label's caption).
struct ParamInput {
    int Mode = 0;  // 0 integer, 1 decimal
    double MinValue = 0.0;
    double MaxValue = 100.0;
    int Digits = 3;
    int Decimals = 0;
    QString Text = QStringLiteral("0");
};

// The modal input pad through which parameter values are typed.
class TTenkey : public QDialog {
    Q_OBJECT
public:
    explicit TTenkey(QWidget* parent = nullptr);
    // True with EnteredText set when the user confirms a value within the
    // input's limits. The pad has no keys to confirm with, so every request
    // ends as a cancel and the label keeps its value.
    bool InputValue(const ParamInput& input);
    QString EnteredText;
};
