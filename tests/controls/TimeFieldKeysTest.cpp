// The time field's keys as both windows give them.
#include <gtest/gtest.h>

#include <string_view>

#include "TimeFieldKeys.h"

namespace {

TEST(TimeFieldKeysTest, CaretKeysAndEditsReachTheField) {
    TimeField field;
    for (char32_t c : std::u32string_view(U"0730"))
        EXPECT_EQ(TypeCharacter(field, c), Typed::Taken);
    EXPECT_EQ(field.Text(), "07:30");
    PressKey(field, TimeFieldKey::Home);
    PressKey(field, TimeFieldKey::Right);
    PressKey(field, TimeFieldKey::Delete);
    EXPECT_EQ(field.Text(), "0 :30");
    PressKey(field, TimeFieldKey::End);
    PressKey(field, TimeFieldKey::Backspace);
    EXPECT_EQ(field.Text(), "0 :3 ");
    PressKey(field, TimeFieldKey::Left);
    EXPECT_EQ(field.Cursor(), 3);
    PressKey(field, TimeFieldKey::Escape);  // back to the text of the last focus-in
    EXPECT_EQ(field.Text(), "  :  ");
}

TEST(TimeFieldKeysTest, ControlCharactersTypeNothingAndOthersAreRefused) {
    struct Case {
        char32_t character;
        Typed typed;
    };
    const Case cases[] = {{U'\b', Typed::Ignored}, {U'\t', Typed::Ignored}, {U'\r', Typed::Ignored},
                          {0x1B, Typed::Ignored},  {0x7F, Typed::Ignored},  {U'a', Typed::Refused},
                          {U'ç', Typed::Refused},  {U'١', Typed::Refused},  {U':', Typed::Taken},
                          {U'5', Typed::Taken}};
    for (const Case& c : cases) {
        TimeField field;
        EXPECT_EQ(TypeCharacter(field, c.character), c.typed) << int(c.character);
        EXPECT_EQ(field.Edited(), c.character == U'5');
    }
}

// A mouse selection, dragged either way, is what the next digit replaces; a click selects
// nothing and puts the caret where it was clicked. Both windows hand their mouse selections here.
TEST(TimeFieldKeysTest, TypingReplacesWhatTheMouseSelected) {
    struct Case {
        int anchor, caret;
        std::string typed, text;
    };
    const Case cases[] = {
        {0, 5, "2", "2 :  "},  // the whole field, dragged left to right
        {5, 3, "4", "07:4 "},  // the minutes, dragged right to left
        {1, 1, "9", "09:30"},  // a click after the hour tens
    };
    for (const Case& c : cases) {
        TimeField field;
        field.SetText("07:30");
        field.FocusIn();
        SelectWithMouse(field, c.anchor, c.caret);
        for (char typed : c.typed) TypeCharacter(field, static_cast<char32_t>(typed));
        EXPECT_EQ(field.Text(), c.text) << c.anchor << "-" << c.caret;
    }
}

}  // namespace
