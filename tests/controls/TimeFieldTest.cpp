#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TimeField.h"

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

struct Key {
    enum Kind { kType, kDelete, kBackspace, kCursor, kSelect } kind;
    char character = 0;
    int position = 0;
    int length = 0;
};
Key Type(char c) { return {Key::kType, c}; }
Key Del() { return {Key::kDelete}; }
Key Back() { return {Key::kBackspace}; }
Key At(int position) { return {Key::kCursor, 0, position}; }
Key Sel(int start, int length) { return {Key::kSelect, 0, start, length}; }

std::vector<Key> Typed(const std::string& text) {
    std::vector<Key> keys;
    for (char c : text) keys.push_back(Type(c));
    return keys;
}

struct KeyCase {
    const char* name;
    const char* start;  // set as the program sets it
    std::vector<Key> keys;
    const char* text;
    int cursor;
    int beeps;
    bool edited;
};

class TimeFieldKeys : public ::testing::TestWithParam<KeyCase> {};

TEST_P(TimeFieldKeys, EditAsTheMaskAllows) {
    const KeyCase& c = GetParam();
    TimeField field;
    field.SetText(c.start);
    field.FocusIn();
    int beeps = 0;
    for (const Key& key : c.keys) {
        switch (key.kind) {
            case Key::kType:
                if (!field.TypeCharacter(key.character)) ++beeps;
                break;
            case Key::kDelete:
                field.Delete();
                break;
            case Key::kBackspace:
                field.Backspace();
                break;
            case Key::kCursor:
                field.SetCursor(key.position);
                break;
            case Key::kSelect:
                field.Select(key.position, key.length);
                break;
        }
    }
    EXPECT_EQ(field.Text(), c.text);
    EXPECT_EQ(field.Cursor(), c.cursor);
    EXPECT_EQ(beeps, c.beeps);
    EXPECT_EQ(field.Edited(), c.edited);
}

INSTANTIATE_TEST_SUITE_P(
    TimeField, TimeFieldKeys,
    ::testing::Values(
        KeyCase{"DigitsFillAndSkipTheSeparator", "", Typed("0730"), "07:30", 5, 0, true},
        KeyCase{"DigitAfterTheLastPositionBeeps", "", Typed("07301"), "07:30", 5, 1, true},
        KeyCase{"SeparatorOnHourTensJumpsToMinutes", "", Typed(":30"), "  :30", 5, 0, true},
        KeyCase{"SeparatorOnHourUnitsJumpsToMinutes", "", Typed("7:30"), "7 :30", 5, 0, true},
        KeyCase{"SeparatorOnMinutesBeeps", "", {At(3), Type(':')}, "  :  ", 3, 1, false},
        KeyCase{"DigitOnTheSeparatorGoesToMinuteTens", "", {At(2), Type('4')}, "  :4 ", 4, 0, true},
        KeyCase{"LettersAndBlanksBeep",
                "07:30",
                {Type('a'), Type(' '), Type('-')},
                "07:30",
                0,
                3,
                false},
        KeyCase{"TypingReplacesADigit", "07:30", {At(1), Type('8')}, "08:30", 3, 0, true},
        KeyCase{
            "HourTensLeftEmpty", "", {At(1), Type('7'), Type('3'), Type('0')}, " 7:30", 5, 0, true},
        KeyCase{"DeleteEmptiesThePositionAtTheCaret", "07:30", {Del()}, " 7:30", 0, 0, true},
        KeyCase{"DeleteOnTheSeparatorDoesNothing", "07:30", {At(2), Del()}, "07:30", 2, 0, false},
        KeyCase{"DeleteAtTheEndDoesNothing", "07:30", {At(5), Del()}, "07:30", 5, 0, false},
        KeyCase{"BackspaceEmptiesThePositionBefore", "07:30", {At(5), Back()}, "07:3 ", 4, 0, true},
        KeyCase{"BackspaceSkipsTheSeparator", "07:30", {At(3), Back()}, "0 :30", 1, 0, true},
        KeyCase{"BackspaceAtTheStartDoesNothing", "07:30", {Back()}, "07:30", 0, 0, false},
        KeyCase{"DeleteEmptiesASelection", "07:30", {Sel(0, 5), Del()}, "  :  ", 0, 0, true},
        KeyCase{"DigitReplacesASelection", "07:30", {Sel(0, 5), Type('1')}, "1 :  ", 1, 0, true},
        KeyCase{"BackspaceEmptiesASelection", "07:30", {Sel(1, 3), Back()}, "0 : 0", 1, 0, true}),
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
