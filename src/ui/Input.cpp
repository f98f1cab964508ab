#include "ui/Input.h"

#include <QGroupBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>

#include "ui/widgets/ShapeSwatch.h"

namespace {

// Client sizes: the keypad alone, and with the on-screen keyboard beside it.
constexpr int kPadWidth = 217;
constexpr int kTextWidth = 618;
constexpr int kPadHeight = 292;
constexpr int kHexHeight = 326;  // one more row for the A..F keys
constexpr int kEditWidth = 193;
constexpr int kTextEditWidth = 593;

constexpr Color kIndicatorOn = 0x0000FF;  // red (0x00BBGGRR)
constexpr Color kIndicatorOff = 0xFFFFFF;

}  // namespace

TTenkey::TTenkey(MessageSink messages, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      messages_(std::move(messages)) {
    setWindowTitle(QStringLiteral("Data Input"));
    setModal(true);
    // Keys are taken by the dialog itself whatever was clicked last, so no
    // button may hold the focus.
    setFocusPolicy(Qt::StrongFocus);

    MaskEdit1 = new QLineEdit(QStringLiteral("0"), this);
    MaskEdit1->setObjectName(QStringLiteral("MaskEdit1"));
    MaskEdit1->setGeometry(12, 8, kEditWidth, 34);
    MaskEdit1->setReadOnly(true);
    MaskEdit1->setEnabled(false);
    QFont editFont(QStringLiteral("Arial"), 16);
    editFont.setBold(true);
    MaskEdit1->setFont(editFont);
    QPalette editPalette = MaskEdit1->palette();
    editPalette.setColor(QPalette::Disabled, QPalette::Text,
                         editPalette.color(QPalette::Active, QPalette::Text));
    editPalette.setColor(QPalette::Disabled, QPalette::Base,
                         editPalette.color(QPalette::Active, QPalette::Base));
    MaskEdit1->setPalette(editPalette);

    auto* digitCaption = new QLabel(QStringLiteral("Max Digits:"), this);
    digitCaption->setGeometry(12, 48, 80, 18);
    Lbl_Digit = new QLabel(QStringLiteral("0"), this);
    Lbl_Digit->setObjectName(QStringLiteral("Lbl_Digit"));
    Lbl_Digit->setGeometry(92, 48, 60, 18);

    Grp_Range = new QGroupBox(QStringLiteral("Input Range"), this);
    Grp_Range->setGeometry(12, 68, kEditWidth, 62);
    auto* minCaption = new QLabel(QStringLiteral("Min:"), Grp_Range);
    minCaption->setGeometry(10, 22, 36, 16);
    Lbl_Min = new QLabel(Grp_Range);
    Lbl_Min->setObjectName(QStringLiteral("Lbl_Min"));
    Lbl_Min->setGeometry(46, 22, 140, 16);
    auto* maxCaption = new QLabel(QStringLiteral("Max:"), Grp_Range);
    maxCaption->setGeometry(10, 40, 36, 16);
    Lbl_Max = new QLabel(Grp_Range);
    Lbl_Max->setObjectName(QStringLiteral("Lbl_Max"));
    Lbl_Max->setGeometry(46, 40, 140, 16);

    // Keypad: 7 8 9 BS / 4 5 6 CLR / 1 2 3 CAN / 0 . - ENT.
    const auto padKey = [](int column, int row) { return QRect(12 + column * 49, 136 + row * 38, 45, 34); };
    for (int d = 0; d <= 9; ++d) {
        const int row = d == 0 ? 3 : 2 - (d - 1) / 3;
        const int column = d == 0 ? 0 : (d - 1) % 3;
        Btn_Digits[d] =
            AddButton(this, QString::number(d), QStringLiteral("Btn_%1").arg(d), padKey(column, row));
        connect(Btn_Digits[d], &QPushButton::clicked, this, [this, d] {
            pad_.DigitKey(d);
            Refresh();
        });
    }
    Btn_0 = Btn_Digits[0];
    Btn_1 = Btn_Digits[1];
    Btn_2 = Btn_Digits[2];
    Btn_3 = Btn_Digits[3];
    Btn_4 = Btn_Digits[4];
    Btn_5 = Btn_Digits[5];
    Btn_6 = Btn_Digits[6];
    Btn_7 = Btn_Digits[7];
    Btn_8 = Btn_Digits[8];
    Btn_9 = Btn_Digits[9];
    Btn_Dot = AddButton(this, QStringLiteral("."), QStringLiteral("Btn_Dot"), padKey(1, 3));
    Btn_Minus = AddButton(this, QStringLiteral("-"), QStringLiteral("Btn_Minus"), padKey(2, 3));
    Btn_BS = AddButton(this, QStringLiteral("BS"), QStringLiteral("Btn_BS"), padKey(3, 0));
    Btn_Clear = AddButton(this, QStringLiteral("CLR"), QStringLiteral("Btn_Clear"), padKey(3, 1));
    Btn_Cancel = AddButton(this, QStringLiteral("CAN"), QStringLiteral("Btn_Cancel"), padKey(3, 2));
    Btn_Enter = AddButton(this, QStringLiteral("ENT"), QStringLiteral("Btn_Enter"), padKey(3, 3));
    const auto forward = [this](QPushButton* button, void (InputPad::*key)()) {
        connect(button, &QPushButton::clicked, this, [this, key] {
            (pad_.*key)();
            Refresh();
        });
    };
    forward(Btn_Dot, &InputPad::PointKey);
    forward(Btn_Minus, &InputPad::MinusKey);
    forward(Btn_BS, &InputPad::BackSpaceKey);
    forward(Btn_Clear, &InputPad::ClearKey);
    connect(Btn_Cancel, &QPushButton::clicked, this, &TTenkey::reject);
    connect(Btn_Enter, &QPushButton::clicked, this, &TTenkey::EnterClick);

    for (int i = 0; i < 6; ++i) {
        const QString letter(QChar('A' + i));
        Btn_Hex[i] =
            AddButton(this, letter, QStringLiteral("Btn_") + letter, QRect(12 + i * 33, 288, 28, 30));
        connect(Btn_Hex[i], &QPushButton::clicked, this, [this, letter] {
            pad_.CaptionKey(letter.toStdString());
            Refresh();
        });
    }
    Btn_A = Btn_Hex[0];
    Btn_B = Btn_Hex[1];
    Btn_C = Btn_Hex[2];
    Btn_D = Btn_Hex[3];
    Btn_E = Btn_Hex[4];
    Btn_F = Btn_Hex[5];

    BuildKeyboard();
    ApplyMode();
    Refresh();
}

QPushButton* TTenkey::AddButton(QWidget* parent, const QString& caption, const QString& name,
                                const QRect& geometry) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setGeometry(geometry);
    button->setFocusPolicy(Qt::NoFocus);
    button->setAutoDefault(false);
    return button;
}

void TTenkey::BuildKeyboard() {
    Grp_KeyBoard = new QGroupBox(QStringLiteral("KeyBoard"), this);
    Grp_KeyBoard->setObjectName(QStringLiteral("Grp_KeyBoard"));
    Grp_KeyBoard->setGeometry(214, 48, 391, 236);

    // Rows staggered as on a JIS keyboard; 27-pixel keys on a 29-pixel pitch.
    constexpr int kRowIndent[] = {8, 16, 22, 30};
    const auto& rows = InputPad::KeyboardRows();
    for (std::size_t r = 0; r < rows.size(); ++r) {
        for (std::size_t c = 0; c < rows[r].size(); ++c) {
            const InputPad::KeyboardKey& key = rows[r][c];
            const QRect place(kRowIndent[r] + static_cast<int>(c) * 29, 20 + static_cast<int>(r) * 30, 27,
                              27);
            QPushButton* button = AddButton(Grp_KeyBoard, QString::fromUtf8(key.StoredCaption),
                                            QString::fromUtf8(key.Name), place);
            const std::size_t index = KeyboardKeys.size();
            connect(button, &QPushButton::clicked, this, [this, index] {
                pad_.KeyboardCharacterKey(index);
                Refresh();
            });
            KeyboardKeys.push_back(button);
        }
    }

    Btn_KeyShift =
        AddButton(Grp_KeyBoard, QStringLiteral("Shift"), QStringLiteral("Btn_KeyShift"), {8, 142, 56, 27});
    Btn_KeyCaps =
        AddButton(Grp_KeyBoard, QStringLiteral("Caps"), QStringLiteral("Btn_KeyCaps"), {68, 142, 50, 27});
    Btn_KeySpace =
        AddButton(Grp_KeyBoard, QStringLiteral("Space"), QStringLiteral("Btn_KeySpace"), {122, 142, 150, 27});
    Btn_KeyRet =
        AddButton(Grp_KeyBoard, QStringLiteral("RET"), QStringLiteral("Btn_KeyRet"), {276, 142, 50, 27});
    Btn_KeyBS =
        AddButton(Grp_KeyBoard, QStringLiteral("BS"), QStringLiteral("Btn_KeyBS"), {330, 142, 53, 27});
    Btn_KeyCancel = AddButton(Grp_KeyBoard, QStringLiteral("Cancel"), QStringLiteral("Btn_KeyCancel"),
                              {222, 176, 78, 27});
    Btn_KeyClear =
        AddButton(Grp_KeyBoard, QStringLiteral("Clear"), QStringLiteral("Btn_KeyClear"), {305, 176, 78, 27});
    const auto forward = [this](QPushButton* button, void (InputPad::*key)()) {
        connect(button, &QPushButton::clicked, this, [this, key] {
            (pad_.*key)();
            Refresh();
        });
    };
    forward(Btn_KeyShift, &InputPad::ShiftKey);
    forward(Btn_KeyCaps, &InputPad::CapsKey);
    forward(Btn_KeySpace, &InputPad::SpaceKey);
    forward(Btn_KeyBS, &InputPad::BackSpaceKey);
    forward(Btn_KeyClear, &InputPad::ClearKey);
    connect(Btn_KeyRet, &QPushButton::clicked, this, &TTenkey::EnterClick);
    connect(Btn_KeyCancel, &QPushButton::clicked, this, &TTenkey::reject);

    const auto indicator = [this](const QString& name, const QString& caption, int x) {
        auto* shape = new ShapeSwatch(Grp_KeyBoard);
        shape->setObjectName(name);
        shape->setGeometry(x, 183, 14, 14);
        shape->SetPen(0x000000, 1);
        auto* label = new QLabel(caption, Grp_KeyBoard);
        label->setGeometry(x + 18, 181, 44, 18);
        return shape;
    };
    Shp_Caps = indicator(QStringLiteral("Shp_Caps"), QStringLiteral("CAPS"), 8);
    Shp_Shift = indicator(QStringLiteral("Shp_Shift"), QStringLiteral("SHIFT"), 78);
}

ParamInput ParamInputFor(const ParameterLimit& limit, const QString& text) {
    return ParamInput{limit.Decimals > 0 ? InputMode::Decimal : InputMode::Integer,
                      limit.Min,
                      limit.Max,
                      limit.Digits,
                      limit.Decimals,
                      text};
}

bool TTenkey::InputValue(const ParamInput& input) {
    pad_.Prepare(input.Mode, input.MinValue, input.MaxValue, input.Digits, input.Decimals,
                 input.Text.toStdString());
    ApplyMode();
    Refresh();
    const QScreen* screen = parentWidget() ? parentWidget()->screen() : QGuiApplication::primaryScreen();
    if (screen) move(screen->availableGeometry().center() - QPoint(width() / 2, height() / 2));
    exec();
    EnteredText = QString::fromStdString(pad_.EnteredText);
    return pad_.Accepted;
}

void TTenkey::ApplyMode() {
    const bool text = pad_.Mode == InputMode::Text;
    const bool hex = pad_.Mode == InputMode::Hex;
    Grp_KeyBoard->setVisible(text);
    MaskEdit1->resize(text ? kTextEditWidth : kEditWidth, MaskEdit1->height());
    for (QPushButton* button : Btn_Hex)
        button->setVisible(hex);
    setFixedSize(text ? kTextWidth : kPadWidth, hex ? kHexHeight : kPadHeight);
    Lbl_Digit->setText(QString::fromStdString(pad_.DigitText()));
    Lbl_Min->setText(QString::fromStdString(pad_.MinText()));
    Lbl_Max->setText(QString::fromStdString(pad_.MaxText()));
}

void TTenkey::Refresh() {
    MaskEdit1->setText(QString::fromStdString(pad_.EnteredText));
    for (QPushButton* button : Btn_Digits)
        button->setEnabled(pad_.DigitKeysEnabled);
    Btn_Dot->setEnabled(pad_.PointKeyEnabled);
    Btn_Minus->setEnabled(pad_.MinusKeyEnabled);
    for (QPushButton* button : Btn_Hex)
        button->setEnabled(pad_.HexKeysEnabled);
    for (std::size_t i = 0; i < KeyboardKeys.size(); ++i)
        KeyboardKeys[i]->setText(QString::fromStdString(pad_.KeyboardCaptions[i]));
    Shp_Caps->SetBrushColor(pad_.CapsOn ? kIndicatorOn : kIndicatorOff);
    Shp_Shift->SetBrushColor(pad_.ShiftOn ? kIndicatorOn : kIndicatorOff);
}

void TTenkey::EnterClick() {
    if (pad_.EnterKey(messages_)) {
        EnteredText = QString::fromStdString(pad_.EnteredText);
        accept();
        return;
    }
    Refresh();
}

void TTenkey::reject() {
    pad_.CancelKey();
    QDialog::reject();
}

void TTenkey::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    if (event->modifiers() & Qt::KeypadModifier) {
        if (key >= Qt::Key_0 && key <= Qt::Key_9) {
            pad_.AppendText(std::string(1, static_cast<char>('0' + (key - Qt::Key_0))));
            Refresh();
            return;
        }
        if (key == Qt::Key_Minus) {
            if (pad_.MinusKeyEnabled) pad_.MinusKey();
            Refresh();
            return;
        }
        if (key == Qt::Key_Period || key == Qt::Key_Comma) {
            if (pad_.PointKeyEnabled) pad_.PointKey();
            Refresh();
            return;
        }
    }
    if (key >= Qt::Key_0 && key <= Qt::Key_9) {
        pad_.CharacterKey(static_cast<char>('0' + (key - Qt::Key_0)));
    } else if (key >= Qt::Key_A && key <= Qt::Key_F) {
        pad_.CharacterKey(static_cast<char>('A' + (key - Qt::Key_A)));
    } else if (key == Qt::Key_Period) {
        pad_.PointKey();
    } else if (key == Qt::Key_Minus) {
        pad_.MinusKey();
    } else if (key == Qt::Key_Backspace || key == Qt::Key_Delete) {
        pad_.BackSpaceKey();
    } else if (key == Qt::Key_Space) {
        pad_.SpaceKey();
    } else if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        EnterClick();
        return;
    } else {
        // Escape included: the pad is left only with ENT or a cancel button.
        event->ignore();
        return;
    }
    Refresh();
}
