#include "ui/InputPad.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <system_error>

#include "core/Message.h"
#include "core/NumberText.h"

namespace {

bool IsContinuationByte(char c) {
    return (static_cast<unsigned char>(c) & 0xC0u) == 0x80u;
}

std::size_t CharCount(std::string_view text) {
    std::size_t count = 0;
    for (char c : text)
        if (!IsContinuationByte(c)) ++count;
    return count;
}

// Blanks and control characters (codes up to the space) at either end go.
std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && static_cast<unsigned char>(text.front()) <= ' ')
        text.remove_prefix(1);
    while (!text.empty() && static_cast<unsigned char>(text.back()) <= ' ')
        text.remove_suffix(1);
    return text;
}

int TrimmedLength(std::string_view text) {
    return static_cast<int>(CharCount(Trimmed(text)));
}

std::string FirstChars(std::string_view text, std::size_t count) {
    std::size_t end = 0;
    for (std::size_t chars = 0; end < text.size(); ++end) {
        if (!IsContinuationByte(text[end]) && chars++ == count) break;
    }
    return std::string(text.substr(0, end));
}

void RemoveLastChar(std::string& text) {
    while (!text.empty() && IsContinuationByte(text.back()))
        text.pop_back();
    if (!text.empty()) text.pop_back();
}

// The shortest text that reads back to the same double ("7" for 007).
std::string ShortestText(double value) {
    char buf[32];
    const auto result = std::to_chars(buf, buf + sizeof buf, value + 0.0);  // + 0.0: no "-0"
    return std::string(buf, result.ptr);
}

// The whole text as a finite number, read the same in every locale.
bool ReadValue(std::string_view text, double& value) {
    const char* last = text.data() + text.size();
    const auto result = std::from_chars(text.data(), last, value);
    return result.ec == std::errc() && result.ptr == last && std::isfinite(value);
}

}  // namespace

const std::vector<std::vector<InputPad::KeyboardKey>>& InputPad::KeyboardRows() {
    static const std::vector<std::vector<KeyboardKey>> rows = {
        {{"Btn_Key1", "!"},
         {"Btn_Key2", "\""},
         {"Btn_Key3", "#"},
         {"Btn_Key4", "$"},
         {"Btn_Key5", "%"},
         {"Btn_Key6", "&&"},
         {"Btn_Key7", "'"},
         {"Btn_Key8", "("},
         {"Btn_Key9", ")"},
         {"Btn_Key0", "0"},
         {"Btn_KeyHyphen", "-"},
         {"Btn_KeyCaret", "^"},
         {"Btn_KeyYen", "\\"}},
        {{"Btn_Q", "Q"},
         {"Btn_W", "W"},
         {"Btn_E2", "E"},
         {"Btn_R", "R"},
         {"Btn_T", "T"},
         {"Btn_Y", "Y"},
         {"Btn_U", "U"},
         {"Btn_I", "I"},
         {"Btn_O", "O"},
         {"Btn_P", "P"},
         {"Btn_KeyAt", "@"},
         {"Btn_KeyLeftBracket", "["}},
        {{"Btn_A2", "A"},
         {"Btn_S", "S"},
         {"Btn_D2", "D"},
         {"Btn_F2", "F"},
         {"Btn_G", "G"},
         {"Btn_H", "H"},
         {"Btn_J", "J"},
         {"Btn_K", "K"},
         {"Btn_L", "L"},
         {"Btn_KeySemicolon", ";"},
         {"Btn_KeyColon", ":"},
         {"Btn_KeyRightBracket", "]"}},
        {{"Btn_Z", "Z"},
         {"Btn_X", "X"},
         {"Btn_C2", "C"},
         {"Btn_V", "V"},
         {"Btn_B2", "B"},
         {"Btn_N", "N"},
         {"Btn_M", "M"},
         {"Btn_KeyComma", ","},
         {"Btn_KeyPeriod", "."},
         {"Btn_KeySlash", "/"},
         {"Btn_KeyUnderscore", "_"}},
    };
    return rows;
}

InputPad::InputPad() {
    for (const auto& row : KeyboardRows())
        for (const KeyboardKey& key : row)
            KeyboardCaptions.emplace_back(key.StoredCaption);
}

void InputPad::Prepare(InputMode mode, double minValue, double maxValue, int digits, int decimals,
                       std::string_view text) {
    Mode = mode;
    MinValue = minValue;
    MaxValue = maxValue;
    Digits = digits;
    Decimals = decimals;
    EnableKeys();
    if (Mode == InputMode::Integer) PointKeyEnabled = false;
    HexKeysEnabled = Mode == InputMode::Hex;
    MinusKeyEnabled = !(Numeric() && MinValue >= 0.0);
    EnteredText = FirstChars(text, MaxTextLength);
    Accepted = false;
    ReplaceNext = true;
    Relabel();
}

void InputPad::AppendText(std::string_view piece) {
    if (ReplaceNext) {
        EnteredText = std::string(piece);
        ReplaceNext = false;
    } else if (TrimmedLength(EnteredText) < Digits &&
               CharCount(EnteredText) + CharCount(piece) <= MaxTextLength) {
        EnteredText += piece;
    }
    if (Numeric() && !Trimmed(EnteredText).empty()) MinusKeyEnabled = false;
    if (TrimmedLength(EnteredText) >= Digits) DisableEntryKeys();
}

void InputPad::DigitKey(int digit) {
    if (digit < 0 || digit > 9) return;
    AppendText(std::string(1, static_cast<char>('0' + digit)));
    if (Numeric()) MinusKeyEnabled = false;
}

void InputPad::CharacterKey(char ch) {
    if (ch >= 'a' && ch <= 'f') ch = static_cast<char>(ch - 'a' + 'A');
    if (ch >= '0' && ch <= '9') {
        AppendText(std::string(1, ch));
    } else if (ch >= 'A' && ch <= 'F' && (Mode == InputMode::Text || Mode == InputMode::Hex)) {
        AppendText(std::string(1, ch));
    }
}

void InputPad::CaptionKey(std::string_view caption) {
    AppendText(caption == "&&" ? std::string_view("&") : caption);
}

void InputPad::KeyboardCharacterKey(std::size_t index) {
    if (index < KeyboardCaptions.size()) CaptionKey(KeyboardCaptions[index]);
}

void InputPad::PointKey() {
    // An integer entry never takes a point: "2.5" would be accepted within the
    // limits and then read as no integer at all by the caller.
    if (Mode == InputMode::Integer) return;
    const bool allowed = EnteredText.find('.') == std::string::npos || Mode == InputMode::Text || ReplaceNext;
    if (!allowed) return;
    AppendText(".");
    if (Numeric()) {
        PointKeyEnabled = false;
        MinusKeyEnabled = false;
    }
}

void InputPad::MinusKey() {
    const bool allowed = Trimmed(EnteredText).empty() || ReplaceNext || Mode == InputMode::Text;
    if (allowed) {
        // A sign only ever starts a number.
        if (Numeric()) ReplaceNext = true;
        AppendText("-");
    }
    if (Numeric()) MinusKeyEnabled = false;
}

void InputPad::SpaceKey() {
    if (Mode == InputMode::Text) AppendText(" ");
}

void InputPad::BackSpaceKey() {
    if (!EnteredText.empty()) {
        RemoveLastChar(EnteredText);
        AppendText("");  // while ReplaceNext is still set this clears the text
    }
    if (TrimmedLength(EnteredText) < Digits) EnableKeys();
    if (EnteredText.empty() && MinValue < 0.0) MinusKeyEnabled = true;
    if (Mode != InputMode::Integer && EnteredText.find('.') == std::string::npos) PointKeyEnabled = true;
}

void InputPad::ClearKey() {
    EnteredText.clear();
    EnableKeys();
    ReplaceNext = true;
}

void InputPad::CancelKey() {
    Accepted = false;
}

bool InputPad::EnterKey(const MessageSink& messages) {
    const std::string trimmed(Trimmed(EnteredText));
    if (static_cast<int>(CharCount(trimmed)) > Digits) {
        messages.Show("桁数ｵｰﾊﾞｰです。" + std::to_string(Digits) + "桁以内で入力して下さい。");
        EnableKeys();
        ReplaceNext = true;
        return false;
    }
    if (EnteredText.empty()) {
        messages.Show("ﾃﾞｰﾀを入力して下さい。");
        return false;
    }
    if (Mode != InputMode::Text) {
        double value = 0.0;
        if (Mode == InputMode::Hex) {
            value = HexTextValue(trimmed);
        } else if (!ReadValue(trimmed, value)) {
            messages.Show("Not a number: " + EnteredText);
            return false;
        }
        if (value < MinValue || value > MaxValue) {
            messages.Show("設定値が範囲外です。");
            EnableKeys();
            ReplaceNext = true;
            return false;
        }
        if (Mode == InputMode::Integer) {
            EnteredText = ShortestText(value);
        } else if (Mode == InputMode::Decimal) {
            EnteredText = FormatFixed(value, Digits, Decimals);
        }
    }
    Accepted = true;
    EnableKeys();
    ReplaceNext = true;
    return true;
}

void InputPad::ShiftKey() {
    ShiftOn = !ShiftOn;
    Relabel();
}

void InputPad::CapsKey() {
    CapsOn = !CapsOn;
    Relabel();
}

std::string InputPad::DigitText() const {
    return std::to_string(Digits);
}

std::string InputPad::RelabelCaption(std::string_view caption, bool capsOn, bool shiftOn) {
    if (caption == "&&") return shiftOn ? "&&" : "6";
    if (caption.size() != 1) return std::string(caption);
    int c = static_cast<unsigned char>(caption.front());
    if (capsOn && c >= 'a' && c <= 'z') c -= 'a' - 'A';
    if (!capsOn && c >= 'A' && c <= 'Z') c += 'a' - 'A';
    if (!shiftOn) {
        if (c >= '<' && c <= '?') {
            c -= 16;  // < = > ?  ->  , - . /
        } else if ((c > 'z' && c < 0x7F) || c == '`') {
            c -= 32;  // { | } ~ `  ->  [ \ ] ^ @
        } else if (c >= '!' && c <= '+') {
            c += 16;  // ! " # $ % ' ( ) * +  ->  1 2 3 4 5 7 8 9 : ;
        }
    } else {
        if (c == '6') return "&&";
        if (c >= ',' && c <= '/') {
            c += 16;
        } else if ((c >= '[' && c <= '^') || c == '@') {
            c += 32;
        } else if (c == ':' || c == ';' || (c >= '1' && c <= '9')) {
            c -= 16;
        }
    }
    return std::string(1, static_cast<char>(c));
}

double InputPad::HexTextValue(std::string_view text) {
    const int count = static_cast<int>(CharCount(text));
    double result = 0.0;
    int index = -1;
    for (char c : text) {
        if (IsContinuationByte(c)) continue;
        ++index;
        int digit = -1;
        if (c >= '0' && c <= '9') digit = c - '0';
        if (c >= 'A' && c <= 'F') digit = c - 'A' + 10;
        if (c >= 'a' && c <= 'f') digit = c - 'a' + 10;
        if (digit < 0) continue;
        result = std::trunc(result + digit * std::pow(16.0, count - index - 1));
    }
    return result;
}

void InputPad::EnableKeys() {
    DigitKeysEnabled = true;
    if (Mode != InputMode::Integer) PointKeyEnabled = true;
    if (MinValue < 0.0 || Mode == InputMode::Text) MinusKeyEnabled = true;
    if (Mode == InputMode::Hex) HexKeysEnabled = true;
}

void InputPad::DisableEntryKeys() {
    DigitKeysEnabled = false;
    PointKeyEnabled = false;
    MinusKeyEnabled = false;
    HexKeysEnabled = false;
}

void InputPad::Relabel() {
    for (std::string& caption : KeyboardCaptions)
        caption = RelabelCaption(caption, CapsOn, ShiftOn);
}

std::string InputPad::LimitText(double limit) const {
    if (Mode == InputMode::Text) return "------";
    if (Mode != InputMode::Hex) return FormatFixed(limit, Digits, Decimals);
    // The limit truncated to an integer, in upper-case hexadecimal padded to Digits.
    const double whole = std::trunc(std::fabs(limit));
    const auto magnitude = static_cast<unsigned long long>(whole < 9.0e18 ? whole : 9.0e18);
    char buf[48];
    std::snprintf(buf, sizeof buf, "%s%0*llX", limit <= -1.0 ? "-" : "", Digits < 0 ? 0 : Digits, magnitude);
    return buf;
}
