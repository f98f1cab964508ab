#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "core/Codes.h"
#include "core/Message.h"

// The entry logic of the input pad, without its window: what each key does to
// the text being edited, which keys are enabled, the checks on ENT and the
// captions of the on-screen character keyboard. Texts are UTF-8; lengths are
// counted in characters. The window forwards every key here and then shows
// EnteredText, the enabled flags and KeyboardCaptions.
class InputPad {
public:
    // One character key of the on-screen keyboard: its control name and the
    // caption stored with it. The digit row stores the shifted symbols ("&&"
    // shows a single "&"), so relabelling with shift off shows the digits.
    struct KeyboardKey {
        const char* Name;
        const char* StoredCaption;
    };

    // The JIS-layout character keys, row by row from the digit row down.
    static const std::vector<std::vector<KeyboardKey>>& KeyboardRows();

    // The longest text the pad holds, in characters.
    static constexpr std::size_t MaxTextLength = 128;

    InputPad();

    // Takes a new call: stores mode, limits and digit counts, enables the keys
    // the mode offers, shows `text` with the next key replacing it, clears
    // Accepted and relabels the keyboard for the kept Caps/Shift state.
    void Prepare(InputMode mode, double minValue, double maxValue, int digits, int decimals,
                 std::string_view text);

    // Btn_0..Btn_9.
    void DigitKey(int digit);
    // A key typed on the keyboard: digits always, letters A..F only in the
    // text and hexadecimal modes.
    void CharacterKey(char ch);
    // Btn_A..Btn_F and the on-screen keyboard keys: the caption is entered,
    // "&&" as "&".
    void CaptionKey(std::string_view caption);
    // The on-screen keyboard key at `index` of KeyboardCaptions.
    void KeyboardCharacterKey(std::size_t index);
    void PointKey();
    void MinusKey();
    void SpaceKey();
    void BackSpaceKey();
    void ClearKey();
    void CancelKey();
    // Checks the entry; on success writes it back in the mode's form, sets
    // Accepted and returns true (the pad closes). Every failed check shows
    // one message to messages and returns false with the pad staying open.
    bool EnterKey(const MessageSink& messages);
    void ShiftKey();
    void CapsKey();

    // Enters `piece` at the end of the text (or in its place while
    // ReplaceNext is set) unless the text already holds Digits characters,
    // then disables the keys the new text rules out.
    void AppendText(std::string_view piece);

    // Caps x 2 + Shift.
    int KeyboardState() const { return (CapsOn ? 2 : 0) + (ShiftOn ? 1 : 0); }

    std::string DigitText() const;
    std::string MinText() const { return LimitText(MinValue); }
    std::string MaxText() const { return LimitText(MaxValue); }

    // The caption a keyboard key shows for the Caps/Shift state; captions of
    // more than one character and characters without a shifted form keep
    // theirs.
    static std::string RelabelCaption(std::string_view caption, bool capsOn, bool shiftOn);
    // Digits 0-9, A-F and a-f of the text, each weighted by its place from the
    // right; any other character adds nothing but keeps its place.
    static double HexTextValue(std::string_view text);

    InputMode Mode = InputMode::Integer;
    double MinValue = 0.0;
    double MaxValue = 100.0;
    int Digits = 3;
    int Decimals = 0;
    std::string EnteredText = "0";
    bool ReplaceNext = true;
    bool Accepted = false;
    bool CapsOn = false;
    bool ShiftOn = false;

    bool DigitKeysEnabled = true;
    bool PointKeyEnabled = false;
    bool MinusKeyEnabled = false;
    bool HexKeysEnabled = false;

    // Current captions of the keyboard's character keys, in the order of
    // KeyboardRows read row by row.
    std::vector<std::string> KeyboardCaptions;

private:
    bool Numeric() const { return Mode == InputMode::Integer || Mode == InputMode::Decimal; }
    void EnableKeys();
    void DisableEntryKeys();
    void Relabel();
    std::string LimitText(double limit) const;
};
