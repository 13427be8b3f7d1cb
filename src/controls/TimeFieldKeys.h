#pragma once
// What the time field's control does with the keyboard, shared by both windows: each maps its
// toolkit's keys onto these and then redraws the field from its TimeField. Tab, Enter and the
// like are not the field's: they move the focus or press a default button, and the window
// handles them.

#include "controls/TimeField.h"

enum class TimeFieldKey { Left, Right, Home, End, Delete, Backspace, Escape };

// Caret moves and edits.
void PressKey(TimeField& field, TimeFieldKey key);

enum class Typed {
    Ignored,  // a control character, which types nothing (Backspace, Tab, Enter, Escape, ...)
    Taken,
    Refused,  // the control beeps
};
// A typed character, as a Unicode code point: a digit or the separator goes to the field;
// anything else the field refuses.
Typed TypeCharacter(TimeField& field, char32_t character);

// The mouse has selected from `anchor` to `caret` (caret positions, 0 to 5; equal when nothing
// is selected): the field takes that selection, which the next typed digit replaces.
void SelectWithMouse(TimeField& field, int anchor, int caret);
