#pragma once
// The time field edtHorario without its widget: a masked edit of five positions (mask
// "!90:00;1;_"), hour tens and units, the separator, minute tens and units. The widget forwards
// keys, caret moves and focus changes here and draws DisplayText() with the caret at Cursor().
//
// Positions are counted from 0 here: 0 hour tens (may stay empty), 1 hour units, 2 the
// separator (fixed), 3 minute tens, 4 minute units. The caret stands before a position, 0 to 5.

#include <array>
#include <string>
#include <string_view>

// The field's own error when it is left with a required position empty after an edit.
inline constexpr const char* kInvalidInputText =
    "Invalid input value.  Use escape key to abandon changes";

class TimeField {
public:
    static constexpr int kLength = 5;
    static constexpr int kSeparatorPosition = 2;

    TimeField();

    // Sets the text without checking it: the value is cut at its first separator; each part is
    // right-aligned into its two positions, surplus leading characters dropped and missing ones
    // left empty; a value without separator is the hour part; a blank leaves a position empty.
    // Clears the edited flag, as a text set by the program is no edit.
    void SetText(std::string_view value);
    // Five characters with the separator in the middle, empty positions as blanks.
    std::string Text() const;
    // The same with empty positions shown as "_".
    std::string DisplayText() const;

    int Cursor() const { return cursor_; }
    int SelectionLength() const { return selectionLength_; }
    // Places the caret (0 to 5) and drops any selection.
    void SetCursor(int position);
    // Selects `length` positions from `start`; the caret goes to `start`.
    void Select(int start, int length);

    // A typed character. A digit fills the position at the caret (a selection is emptied
    // first) and the caret moves on, over the separator; the separator typed on an hour
    // position moves the caret to the minute tens. False when the character is refused: the
    // widget beeps.
    bool TypeCharacter(char c);
    // Delete empties the position at the caret (or the selected ones); Backspace empties the one
    // before it and moves the caret there.
    void Delete();
    void Backspace();
    // Escape: while the field holds edits, puts back the text it had when it last got the focus.
    // True when it did.
    bool Escape();

    // The field receives the focus.
    void FocusIn();
    // The field's own check when it is left: after an edit, positions 1, 3 and 4 must hold a
    // digit. When one does not, the caret goes to the first such position and the result is
    // false: the widget then beeps, keeps the focus and reports kInvalidInputText; the exit
    // handler does not run. Coming back after a refusal keeps the text Escape returns to.
    bool CheckOnExit();

    // Edited by the user since the text was last set or put back.
    bool Edited() const { return edited_; }

private:
    static bool IsDigitPosition(int position) { return position != kSeparatorPosition; }
    void EmptySelection();

    std::array<char, kLength> positions_;  // ' ' for an empty position
    int cursor_ = 0;
    int selectionLength_ = 0;
    bool edited_ = false;
    bool reEnter_ = false;
    std::array<char, kLength> focusPositions_;  // what Escape puts back
};
