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

}  // namespace
