#include "controls/TimeFieldKeys.h"

#include <algorithm>
#include <cstdlib>

void PressKey(TimeField& field, TimeFieldKey key) {
    switch (key) {
        case TimeFieldKey::Left:
            field.SetCursor(field.Cursor() - 1);
            break;
        case TimeFieldKey::Right:
            field.SetCursor(field.Cursor() + 1);
            break;
        case TimeFieldKey::Home:
            field.SetCursor(0);
            break;
        case TimeFieldKey::End:
            field.SetCursor(TimeField::kLength);
            break;
        case TimeFieldKey::Delete:
            field.Delete();
            break;
        case TimeFieldKey::Backspace:
            field.Backspace();
            break;
        case TimeFieldKey::Escape:
            field.Escape();
            break;
    }
}

Typed TypeCharacter(TimeField& field, char32_t character) {
    if (character < U' ' || character == 0x7F) return Typed::Ignored;
    if (character > 0x7F) return Typed::Refused;
    return field.TypeCharacter(static_cast<char>(character)) ? Typed::Taken : Typed::Refused;
}

void SelectWithMouse(TimeField& field, int anchor, int caret) {
    field.Select(std::min(anchor, caret), std::abs(caret - anchor));
}
