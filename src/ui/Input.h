#pragma once

#include <QDialog>
#include <QString>

#include <array>
#include <vector>
#include "core/Codes.h"

#include "session/ParameterLimits.h"
#include "ui/InputPad.h"

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class ShapeSwatch;

// The call record of the input pad: what is edited, its limits, its largest
// number of characters (point and sign included), the decimals a decimal
// entry is written with, and the start text (the label's caption).
struct ParamInput {
    InputMode Mode = InputMode::Integer;
    double MinValue = 0.0;
    double MaxValue = 100.0;
    int Digits = 3;
    int Decimals = 0;
    QString Text = QStringLiteral("0");
};

// The call for a parameter of the limits table: a decimal entry when it keeps
// decimals, a whole number otherwise, with its limits and lengths.
ParamInput ParamInputFor(const ParameterLimit& limit, const QString& text);

// The modal "Data Input" pad through which parameter values are typed. One
// instance serves every call; the Caps and Shift states of its on-screen
// keyboard carry over from one call to the next. Every key goes to the
// InputPad logic and the controls then show its state.
class TTenkey : public QDialog {
    Q_OBJECT
public:
    // messages: where the pad's checks show what they refused.
    explicit TTenkey(MessageSink messages, QWidget* parent = nullptr);

    // Shows the pad modally for `input`. True when the entry passed the checks
    // on ENT; EnteredText then holds it (a decimal written with the input's
    // decimals, an integer without leading zeros). False after a cancel or a
    // closed window, and the caller keeps its value.
    bool InputValue(const ParamInput& input);

    QString EnteredText;

    QLineEdit* MaskEdit1 = nullptr;
    QLabel* Lbl_Digit = nullptr;
    QGroupBox* Grp_Range = nullptr;
    QLabel* Lbl_Min = nullptr;
    QLabel* Lbl_Max = nullptr;
    std::array<QPushButton*, 10> Btn_Digits{};  // Btn_0 .. Btn_9
    QPushButton* Btn_0 = nullptr;
    QPushButton* Btn_1 = nullptr;
    QPushButton* Btn_2 = nullptr;
    QPushButton* Btn_3 = nullptr;
    QPushButton* Btn_4 = nullptr;
    QPushButton* Btn_5 = nullptr;
    QPushButton* Btn_6 = nullptr;
    QPushButton* Btn_7 = nullptr;
    QPushButton* Btn_8 = nullptr;
    QPushButton* Btn_9 = nullptr;
    QPushButton* Btn_Dot = nullptr;
    QPushButton* Btn_Minus = nullptr;
    QPushButton* Btn_BS = nullptr;
    QPushButton* Btn_Clear = nullptr;
    QPushButton* Btn_Enter = nullptr;
    QPushButton* Btn_Cancel = nullptr;
    std::array<QPushButton*, 6> Btn_Hex{};  // Btn_A .. Btn_F
    QPushButton* Btn_A = nullptr;
    QPushButton* Btn_B = nullptr;
    QPushButton* Btn_C = nullptr;
    QPushButton* Btn_D = nullptr;
    QPushButton* Btn_E = nullptr;
    QPushButton* Btn_F = nullptr;

    QGroupBox* Grp_KeyBoard = nullptr;
    // The character keys, in the order of InputPad::KeyboardRows row by row.
    std::vector<QPushButton*> KeyboardKeys;
    ShapeSwatch* Shp_Caps = nullptr;
    ShapeSwatch* Shp_Shift = nullptr;
    QPushButton* Btn_KeyShift = nullptr;
    QPushButton* Btn_KeyCaps = nullptr;
    QPushButton* Btn_KeySpace = nullptr;
    QPushButton* Btn_KeyRet = nullptr;
    QPushButton* Btn_KeyBS = nullptr;
    QPushButton* Btn_KeyCancel = nullptr;
    QPushButton* Btn_KeyClear = nullptr;

public slots:
    void reject() override;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    QPushButton* AddButton(QWidget* parent, const QString& caption, const QString& name,
                           const QRect& geometry);
    void BuildKeyboard();
    void ApplyMode();
    void Refresh();
    void EnterClick();
    void CancelClick();

    InputPad pad_;
    MessageSink messages_;
};
