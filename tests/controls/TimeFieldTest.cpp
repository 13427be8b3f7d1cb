// The time field's model: its text rules, and every edit handed over as both windows hand it
// (TimeFieldKeys.h), so a key a window maps is checked once, here.

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "controls/TimeField.h"
#include "controls/TimeFieldKeys.h"

namespace {

// ---- Setting rules --------------------------------------------------------------------------

struct SetCase {
    const char* value;
    const char* text;     // as read: blanks for empty positions
    const char* display;  // as drawn: "_" for empty positions
};

class TimeFieldSetText : public ::testing::TestWithParam<SetCase> {};

TEST_P(TimeFieldSetText, FitsTheValueIntoFivePositions) {
    TimeField field;
    field.SetText(GetParam().value);
    EXPECT_EQ(field.Text(), GetParam().text);
    EXPECT_EQ(field.DisplayText(), GetParam().display);
    EXPECT_FALSE(field.Edited());
    EXPECT_TRUE(field.CheckOnExit());  // a text set by the program is not checked
}

INSTANTIATE_TEST_SUITE_P(
    TimeField, TimeFieldSetText,
    ::testing::Values(SetCase{"07:30", "07:30", "07:30"}, SetCase{"7:30", " 7:30", "_7:30"},
                      SetCase{"12:5", "12: 5", "12:_5"}, SetCase{"123:456", "23:56", "23:56"},
                      SetCase{"0730", "30:  ", "30:__"}, SetCase{":", "  :  ", "__:__"},
                      SetCase{"", "  :  ", "__:__"}, SetCase{" 7:30", " 7:30", "_7:30"},
                      SetCase{"  :  ", "  :  ", "__:__"}, SetCase{"1", " 1:  ", "_1:__"}));

TEST(TimeField, StartsEmpty) {
    TimeField field;
    EXPECT_EQ(field.Text(), "  :  ");
    EXPECT_EQ(field.DisplayText(), "__:__");
    EXPECT_FALSE(field.Edited());
}

// ---- Keys -----------------------------------------------------------------------------------
// What a user does in the field, handed over as both windows hand it (TimeFieldKeys.h): typed
// characters, keys, and the caret placed or positions selected with the mouse.

using Input = std::function<Typed(TimeField&)>;

Input Type(char32_t character) {
    return [character](TimeField& field) { return TypeCharacter(field, character); };
}
Input Press(TimeFieldKey key) {
    return [key](TimeField& field) {
        PressKey(field, key);
        return Typed::Ignored;
    };
}
Input Del() { return Press(TimeFieldKey::Delete); }
Input Back() { return Press(TimeFieldKey::Backspace); }
// A click that puts the caret before `position`.
Input At(int position) {
    return [position](TimeField& field) {
        SelectWithMouse(field, position, position);
        return Typed::Ignored;
    };
}
// The mouse dragged from before `anchor` to before `caret`, either way.
Input Drag(int anchor, int caret) {
    return [anchor, caret](TimeField& field) {
        SelectWithMouse(field, anchor, caret);
        return Typed::Ignored;
    };
}

std::vector<Input> TypedText(const std::string& text) {
    std::vector<Input> inputs;
    for (char c : text) inputs.push_back(Type(static_cast<char32_t>(c)));
    return inputs;
}

struct KeyCase {
    const char* name;
    const char* start;  // set as the program sets it
    std::vector<Input> inputs;
    const char* text;
    int cursor;
    int beeps;
    bool edited;
};

void PrintTo(const KeyCase& c, std::ostream* os) { *os << c.name; }

class TimeFieldKeys : public ::testing::TestWithParam<KeyCase> {};

TEST_P(TimeFieldKeys, EditAsTheMaskAllows) {
    const KeyCase& c = GetParam();
    TimeField field;
    field.SetText(c.start);
    field.FocusIn();
    int beeps = 0;
    for (const Input& input : c.inputs) beeps += input(field) == Typed::Refused;
    EXPECT_EQ(field.Text(), c.text);
    EXPECT_EQ(field.Cursor(), c.cursor);
    EXPECT_EQ(beeps, c.beeps);
    EXPECT_EQ(field.Edited(), c.edited);
}

INSTANTIATE_TEST_SUITE_P(
    TimeField, TimeFieldKeys,
    ::testing::Values(
        KeyCase{"DigitsFillAndStepOverTheSeparator", "", TypedText("0730"), "07:30", 5, 0, true},
        KeyCase{"DigitAfterTheLastPositionBeeps", "", TypedText("07301"), "07:30", 5, 1, true},
        KeyCase{"SeparatorOnHourTensJumpsToMinutes", "", TypedText(":30"), "  :30", 5, 0, true},
        KeyCase{"SeparatorAloneIsNoEdit", "", TypedText(":"), "  :  ", 3, 0, false},
        KeyCase{"SeparatorOnHourUnitsJumpsToMinutes", "", TypedText("7:30"), "7 :30", 5, 0, true},
        KeyCase{"SeparatorOnMinutesBeeps", "", {At(3), Type(':')}, "  :  ", 3, 1, false},
        KeyCase{"DigitOnTheSeparatorGoesToMinuteTens", "", {At(2), Type('4')}, "  :4 ", 4, 0, true},
        KeyCase{
            "LettersAndBlanksBeep",
            "07:30",
            // ı (U+0131) is refused too, though its low byte is the digit 1.
            {Type('a'), Type(' '), Type('-'), Type(U'\u00E7'), Type(U'\u0661'), Type(U'\u0131')},
            "07:30",
            0,
            6,
            false},
        KeyCase{"ControlCharactersTypeNothing",
                "07:30",
                {Type('\b'), Type('\t'), Type('\r'), Type(0x1B), Type(0x7F)},
                "07:30",
                0,
                0,
                false},
        KeyCase{"TypingReplacesADigit", "07:30", {At(1), Type('8')}, "08:30", 3, 0, true},
        KeyCase{
            "HourTensLeftEmpty", "", {At(1), Type('7'), Type('3'), Type('0')}, " 7:30", 5, 0, true},
        KeyCase{"CaretKeys",
                "07:30",
                {Press(TimeFieldKey::End), Press(TimeFieldKey::Left), Type('5'),
                 Press(TimeFieldKey::Home), Press(TimeFieldKey::Right), Type('8')},
                "08:35",
                3,
                0,
                true},
        KeyCase{"CaretKeysStopAtTheEnds",
                "07:30",
                {Press(TimeFieldKey::Left), Type('1'), Press(TimeFieldKey::End),
                 Press(TimeFieldKey::Right), Type('9')},
                "17:30",
                5,
                1,
                true},
        KeyCase{"DeleteEmptiesThePositionAtTheCaret", "07:30", {Del()}, " 7:30", 0, 0, true},
        KeyCase{"DeleteOnTheSeparatorDoesNothing", "07:30", {At(2), Del()}, "07:30", 2, 0, false},
        KeyCase{"DeleteAtTheEndDoesNothing", "07:30", {At(5), Del()}, "07:30", 5, 0, false},
        KeyCase{"BackspaceEmptiesThePositionBefore", "07:30", {At(5), Back()}, "07:3 ", 4, 0, true},
        KeyCase{"BackspaceStepsOverTheSeparator", "07:30", {At(3), Back()}, "0 :30", 1, 0, true},
        KeyCase{"BackspaceAtTheStartDoesNothing", "07:30", {Back()}, "07:30", 0, 0, false},
        KeyCase{"DeleteEmptiesASelection", "07:30", {Drag(0, 5), Del()}, "  :  ", 0, 0, true},
        KeyCase{"DigitReplacesASelection", "07:30", {Drag(0, 5), Type('1')}, "1 :  ", 1, 0, true},
        KeyCase{"DigitReplacesASelectionDraggedBackwards",
                "07:30",
                {Drag(5, 3), Type('4')},
                "07:4 ",
                4,
                0,
                true},
        KeyCase{"BackspaceEmptiesASelection", "07:30", {Drag(1, 4), Back()}, "0 : 0", 1, 0, true},
        KeyCase{"EscapePutsBackTheTextOfTheFocus",
                "07:30",
                {Type('1'), Press(TimeFieldKey::Escape)},
                "07:30",
                0,
                0,
                false}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- Escape and the own check on leaving ----------------------------------------------------

TEST(TimeField, EscapePutsBackTheTextOfTheLastFocus) {
    TimeField field;
    field.SetText("07:30");
    field.FocusIn();
    field.TypeCharacter('1');
    ASSERT_EQ(field.Text(), "17:30");
    EXPECT_TRUE(field.Escape());
    EXPECT_EQ(field.Text(), "07:30");
    EXPECT_FALSE(field.Edited());  // an Escape counts as no edit
    EXPECT_TRUE(field.CheckOnExit());
}

TEST(TimeField, EscapeWithoutEditsChangesNothing) {
    TimeField field;
    field.SetText("07:30");
    field.FocusIn();
    field.SetText("08:00");  // set by the program: no edit
    EXPECT_FALSE(field.Escape());
    EXPECT_EQ(field.Text(), "08:00");
}

TEST(TimeField, EscapeReturnsToTheLatestFocusText) {
    TimeField field;
    field.FocusIn();
    for (char c : std::string("0730")) field.TypeCharacter(c);
    ASSERT_TRUE(field.CheckOnExit());
    field.FocusIn();  // a second visit starts from 07:30
    field.SetCursor(0);
    field.TypeCharacter('1');
    EXPECT_TRUE(field.Escape());
    EXPECT_EQ(field.Text(), "07:30");
}

TEST(TimeField, TheOwnErrorTextHasTwoBlanks) {
    EXPECT_STREQ(kInvalidInputText, "Invalid input value.  Use escape key to abandon changes");
}

struct CheckCase {
    const char* typed;  // from the empty field, caret at the start
    bool passes;
    int cursorAfterRefusal;
};

class TimeFieldCheck : public ::testing::TestWithParam<CheckCase> {};

TEST_P(TimeFieldCheck, RequiresHourUnitsAndBothMinuteDigitsAfterAnEdit) {
    TimeField field;
    field.FocusIn();
    for (char c : std::string(GetParam().typed)) field.TypeCharacter(c);
    EXPECT_EQ(field.CheckOnExit(), GetParam().passes) << GetParam().typed;
    if (!GetParam().passes) {
        EXPECT_EQ(field.Cursor(), GetParam().cursorAfterRefusal);
    }
}

INSTANTIATE_TEST_SUITE_P(TimeField, TimeFieldCheck,
                         ::testing::Values(CheckCase{"0730", true, 0}, CheckCase{"2500", true, 0},
                                           CheckCase{"1", false, 1}, CheckCase{"12", false, 3},
                                           CheckCase{"123", false, 4}, CheckCase{"7:30", false, 1},
                                           CheckCase{":30", false, 1}));

TEST(TimeField, EmptiedFieldFailsTheCheckAndEscapeStillRestores) {
    TimeField field;
    field.SetText("07:30");
    field.FocusIn();
    field.Select(0, 5);
    field.Delete();
    EXPECT_FALSE(field.CheckOnExit());
    EXPECT_EQ(field.Cursor(), 1);
    field.FocusIn();  // the focus comes back after the refusal
    EXPECT_TRUE(field.Escape());
    EXPECT_EQ(field.Text(), "07:30");
    EXPECT_TRUE(field.CheckOnExit());
}

TEST(TimeField, UntouchedFieldIsNotChecked) {
    TimeField field;
    field.FocusIn();
    EXPECT_TRUE(field.CheckOnExit());
    field.SetText("1");  // " 1:  " from the settings file
    field.FocusIn();
    field.SetCursor(3);
    EXPECT_TRUE(field.CheckOnExit());
}

}  // namespace
