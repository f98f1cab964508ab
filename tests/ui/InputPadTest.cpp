#include <gtest/gtest.h>

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>
#include <optional>
#include <sstream>

#include "support/MessageRecorder.h"
#include "ui/Input.h"
#include "ui/InputPad.h"
#include "ui/widgets/ShapeSwatch.h"

namespace {

using Messages = std::vector<std::string>;

const std::string kTooManyDigits3 = "桁数ｵｰﾊﾞｰです。3桁以内で入力して下さい。";
const std::string kEmpty = "ﾃﾞｰﾀを入力して下さい。";
const std::string kOutOfRange = "設定値が範囲外です。";

using enum InputMode;

// Presses the keys of a blank-separated script: a digit is its pad button, a
// letter A..F is typed on the keyboard, and ".", "-", "SP", "BS", "CLR" and
// "ENT" are the other keys; ENT shows its messages to messages.
void Press(InputPad& pad, const std::string& script, const MessageSink& messages) {
    std::istringstream in(script);
    std::string key;
    while (in >> key) {
        if (key.size() == 1 && key[0] >= '0' && key[0] <= '9') {
            pad.DigitKey(key[0] - '0');
        } else if (key.size() == 1 && key[0] >= 'A' && key[0] <= 'F') {
            pad.CharacterKey(key[0]);
        } else if (key == ".") {
            pad.PointKey();
        } else if (key == "-") {
            pad.MinusKey();
        } else if (key == "SP") {
            pad.SpaceKey();
        } else if (key == "BS") {
            pad.BackSpaceKey();
        } else if (key == "CLR") {
            pad.ClearKey();
        } else if (key == "ENT") {
            pad.EnterKey(messages);
        } else {
            ADD_FAILURE() << "unknown key " << key;
        }
    }
}

// The entry keys that are enabled: "0" digits, "." point, "-" minus, "x" A..F.
std::string EnabledKeys(const InputPad& pad) {
    std::string keys;
    if (pad.DigitKeysEnabled) keys += '0';
    if (pad.PointKeyEnabled) keys += '.';
    if (pad.MinusKeyEnabled) keys += '-';
    if (pad.HexKeysEnabled) keys += 'x';
    return keys;
}

std::string KeyboardRow(const InputPad& pad, std::size_t row) {
    std::size_t first = 0;
    for (std::size_t r = 0; r < row; ++r)
        first += InputPad::KeyboardRows()[r].size();
    std::string text;
    for (std::size_t i = 0; i < InputPad::KeyboardRows()[row].size(); ++i)
        text += (i ? " " : "") + pad.KeyboardCaptions[first + i];
    return text;
}

TEST(InputPad, KeysChecksAndResults) {
    struct Case {
        const char* what;
        InputMode mode;
        double min, max;
        int digits, decimals;
        const char* start;
        const char* keys;
        const char* text;
        bool accepted;
        Messages messages;
        std::optional<std::string> enabled;
    };
    const Case cases[] = {
        {"the first key replaces the start text", Integer, 0, 100, 3, 0, "42", "7", "7", false, {}, "0"},
        {"BS as the first key empties", Integer, 0, 100, 3, 0, "42", "BS", "", false, {}, "0"},
        {"a fourth digit is refused, all entry keys off",
         Integer,
         0,
         999,
         3,
         0,
         "0",
         "1 2 3 4",
         "123",
         false,
         {},
         ""},
        {"BS enables the keys again", Integer, 0, 999, 3, 0, "0", "1 2 3 4 BS", "12", false, {}, "0"},
        {"below the lower limit", Integer, 10, 500, 3, 0, "300", "5 ENT", "5", false, {kOutOfRange}, "0"},
        {"the upper limit is accepted", Integer, 10, 500, 3, 0, "300", "5 0 0 ENT", "500", true, {}, "0"},
        {"leading zeros go", Integer, 0, 999, 3, 0, "1", "0 0 7 ENT", "7", true, {}, std::nullopt},
        {"a decimal gets its decimals",
         Decimal,
         -9999.999,
         9999.999,
         8,
         3,
         "500.000",
         "1 2 . 5 ENT",
         "12.500",
         true,
         {},
         "0.-"},
        {"the largest decimal",
         Decimal,
         -9999.999,
         9999.999,
         8,
         3,
         "0",
         "9 9 9 9 . 9 9 9 ENT",
         "9999.999",
         true,
         {},
         std::nullopt},
        {"minus refused after a digit", Decimal, -10, 10, 8, 3, "0", "1 -", "1", false, {}, "0."},
        {"minus starts a new entry",
         Decimal,
         -10,
         10,
         8,
         3,
         "3.000",
         "- 5 ENT",
         "-5.000",
         true,
         {},
         std::nullopt},
        {"minus off while the lower limit is not negative",
         Decimal,
         0,
         10,
         8,
         3,
         "1.000",
         "",
         "1.000",
         false,
         {},
         "0."},
        {"one point only", Decimal, 0, 100, 8, 3, "0", "1 . 2 . 3", "1.23", false, {}, "0"},
        {"no point in integer mode", Integer, 0, 100, 3, 0, "42", ". 5", "5", false, {}, "0"},
        {"no letters in integer mode", Integer, 0, 100, 3, 0, "42", "A", "42", false, {}, "0"},
        {"a start text longer than Digits",
         Integer,
         0,
         100,
         3,
         0,
         "1234",
         "ENT",
         "1234",
         false,
         {kTooManyDigits3},
         "0"},
        {"replacing a long start text", Integer, 0, 100, 3, 0, "1234", "5 ENT", "5", true, {}, std::nullopt},
        {"nothing entered", Integer, 0, 100, 3, 0, "42", "CLR ENT", "", false, {kEmpty}, "0"},
        {"a lone minus", Decimal, -10, 10, 8, 3, "0", "- ENT", "-", false, {"Not a number: -"}, "0."},
        {"a lone point", Decimal, 0, 10, 5, 2, "0", ". ENT", ".", false, {"Not a number: ."}, "0"},
        {"hexadecimal FF within the limits", Hex, 0, 255, 2, 0, "0", "F F ENT", "FF", true, {}, "0.x"},
        {"hexadecimal 100 above the limit",
         Hex,
         0,
         255,
         3,
         0,
         "0",
         "1 0 0 ENT",
         "100",
         false,
         {kOutOfRange},
         "0.x"},
        {"text takes letters, blanks and minus signs",
         Text,
         0,
         0,
         10,
         0,
         "abc",
         "A SP - B ENT",
         "A -B",
         true,
         {},
         std::nullopt},
    };
    for (const Case& c : cases) {
        MessageRecorder recorder;
        InputPad pad;
        pad.Prepare(c.mode, c.min, c.max, c.digits, c.decimals, c.start);
        Press(pad, c.keys, recorder);
        EXPECT_EQ(pad.EnteredText, c.text) << c.what;
        EXPECT_EQ(pad.Accepted, c.accepted) << c.what;
        EXPECT_EQ(recorder.Messages, c.messages) << c.what;
        if (c.enabled) {
            EXPECT_EQ(EnabledKeys(pad), *c.enabled) << c.what;
        }
    }
}

TEST(InputPad, LimitTextsFollowTheMode) {
    struct Case {
        InputMode mode;
        double min, max;
        int digits, decimals;
        const char* minText;
        const char* maxText;
    };
    const Case cases[] = {
        {Integer, 10, 500, 3, 0, "10", "500"},
        {Decimal, -9999.999, 9999.999, 8, 3, "-9999.999", "9999.999"},
        {Text, 0, 0, 20, 0, "------", "------"},
        {Hex, 0, 255, 4, 0, "0000", "00FF"},
    };
    for (const Case& c : cases) {
        InputPad pad;
        pad.Prepare(c.mode, c.min, c.max, c.digits, c.decimals, "");
        EXPECT_EQ(pad.MinText(), c.minText) << static_cast<int>(c.mode);
        EXPECT_EQ(pad.MaxText(), c.maxText) << static_cast<int>(c.mode);
    }
}

TEST(InputPad, HexadecimalTextValue) {
    EXPECT_EQ(InputPad::HexTextValue("FF"), 255.0);
    EXPECT_EQ(InputPad::HexTextValue("ff"), 255.0);
    EXPECT_EQ(InputPad::HexTextValue("1.F"), 271.0);  // the point adds nothing but keeps its place
    EXPECT_EQ(InputPad::HexTextValue(""), 0.0);
}

TEST(InputPad, KeyboardFollowsShiftAndCapsAcrossCalls) {
    InputPad pad;
    pad.Prepare(Text, 0, 0, 20, 0, "");
    EXPECT_EQ(KeyboardRow(pad, 0), "1 2 3 4 5 6 7 8 9 0 - ^ \\");
    EXPECT_EQ(KeyboardRow(pad, 1), "q w e r t y u i o p @ [");
    EXPECT_EQ(KeyboardRow(pad, 2), "a s d f g h j k l ; : ]");
    EXPECT_EQ(KeyboardRow(pad, 3), "z x c v b n m , . / _");

    pad.ShiftKey();
    EXPECT_EQ(KeyboardRow(pad, 0), "! \" # $ % && ' ( ) 0 = ~ |");
    EXPECT_EQ(KeyboardRow(pad, 1), "q w e r t y u i o p ` {");
    EXPECT_EQ(KeyboardRow(pad, 2), "a s d f g h j k l + * }");
    EXPECT_EQ(KeyboardRow(pad, 3), "z x c v b n m < > ? _");
    pad.KeyboardCharacterKey(5);
    pad.KeyboardCharacterKey(10);
    EXPECT_EQ(pad.EnteredText, "&=");

    pad.CapsKey();
    EXPECT_EQ(pad.KeyboardState(), 3);
    EXPECT_EQ(KeyboardRow(pad, 3), "Z X C V B N M < > ? _");
    pad.ShiftKey();
    EXPECT_EQ(KeyboardRow(pad, 0), "1 2 3 4 5 6 7 8 9 0 - ^ \\");
    EXPECT_EQ(KeyboardRow(pad, 1), "Q W E R T Y U I O P @ [");

    // The next call keeps Caps on and Shift off.
    pad.Prepare(Text, 0, 0, 20, 0, "");
    EXPECT_EQ(pad.KeyboardState(), 2);
    EXPECT_EQ(KeyboardRow(pad, 2), "A S D F G H J K L ; : ]");
}

// Runs `act` once `pad` is the active modal window; it must close the pad.
void WhenShown(TTenkey& pad, std::function<void()> act) {
    auto* poll = new QTimer(&pad);
    QObject::connect(poll, &QTimer::timeout, &pad, [&pad, poll, act] {
        if (QApplication::activeModalWidget() != &pad) return;
        poll->stop();
        poll->deleteLater();
        act();
        if (pad.isVisible()) pad.reject();
    });
    poll->start(20);
}

TEST(InputPadDialog, ClickedAndTypedKeysGiveTheCheckedValue) {
    MessageRecorder recorder;
    TTenkey pad(recorder);
    WhenShown(pad, [&] {
        EXPECT_EQ(pad.width(), 217);
        EXPECT_FALSE(pad.Grp_KeyBoard->isVisible());
        EXPECT_EQ(pad.Lbl_Digit->text(), QStringLiteral("3"));
        EXPECT_EQ(pad.Lbl_Max->text(), QStringLiteral("500"));
        EXPECT_FALSE(pad.Btn_Minus->isEnabled());
        QTest::mouseClick(pad.Btn_5, Qt::LeftButton);
        QTest::keyClick(&pad, Qt::Key_Return);  // 5 is below the limit: the pad stays open
        EXPECT_TRUE(pad.isVisible());
        QTest::mouseClick(pad.Btn_5, Qt::LeftButton);
        QTest::keyClick(&pad, Qt::Key_0);
        QTest::keyClick(&pad, Qt::Key_0, Qt::KeypadModifier);
        EXPECT_EQ(pad.MaskEdit1->text(), QStringLiteral("500"));
        EXPECT_FALSE(pad.Btn_0->isEnabled());
        QTest::mouseClick(pad.Btn_Enter, Qt::LeftButton);
    });
    EXPECT_TRUE(pad.InputValue(ParamInput{Integer, 10.0, 500.0, 3, 0, QStringLiteral("300")}));
    EXPECT_EQ(pad.EnteredText, QStringLiteral("500"));
    EXPECT_EQ(recorder.Messages, Messages{kOutOfRange});
}

TEST(InputPadDialog, CancelAndClosingReturnFalse) {
    TTenkey pad{MessageRecorder()};
    WhenShown(pad, [&] {
        EXPECT_EQ(pad.width(), 618);
        EXPECT_TRUE(pad.Grp_KeyBoard->isVisible());
        EXPECT_EQ(pad.MaskEdit1->width(), 593);
        QTest::keyClick(&pad, Qt::Key_Escape);  // no key cancels
        EXPECT_TRUE(pad.isVisible());
        QTest::mouseClick(pad.KeyboardKeys[13], Qt::LeftButton);
        QTest::mouseClick(pad.Btn_KeyShift, Qt::LeftButton);
        EXPECT_EQ(pad.Shp_Shift->BrushColor(), 0x0000FFu);
        EXPECT_EQ(pad.KeyboardKeys[0]->text(), QStringLiteral("!"));
        QTest::mouseClick(pad.KeyboardKeys[0], Qt::LeftButton);
        EXPECT_EQ(pad.MaskEdit1->text(), QStringLiteral("q!"));
        pad.close();
    });
    EXPECT_FALSE(pad.InputValue(ParamInput{Text, 0.0, 0.0, 10, 0, QStringLiteral("abc")}));

    WhenShown(pad, [&] {
        EXPECT_EQ(pad.width(), 217);
        QTest::mouseClick(pad.Btn_7, Qt::LeftButton);
        QTest::mouseClick(pad.Btn_Cancel, Qt::LeftButton);
    });
    EXPECT_FALSE(pad.InputValue(ParamInput{Integer, 0.0, 100.0, 3, 0, QStringLiteral("42")}));
}

}  // namespace
