#pragma once
// edtHorario: a system edit control that shows the TimeField model (the window's logic owns it;
// "_" for each empty position) and hands it every key, caret move, mouse selection and focus.
// Typing, Delete, Backspace, Escape and the caret keys go to the model through
// PressKey/TypeCharacter; paste, cut and the context menu are refused. Leaving the field is decided
// by the window before the focus moves (see TFrmPrincipal), as the field's check must be able to
// keep it.

#include "controls/TimeField.h"
#include "win32/controls/Win32.h"

namespace win32 {

class TimeEdit {
public:
    TimeEdit(TimeField& model, HWND parent, int id, HFONT font, int left, int top, int width,
             int height);
    TimeEdit(const TimeEdit&) = delete;
    TimeEdit& operator=(const TimeEdit&) = delete;

    HWND Handle() const { return window_; }
    std::string Text() const { return model_.Text(); }
    // Shows the model again: its text and caret.
    void Refresh();

private:
    static LRESULT CALLBACK SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                         UINT_PTR id, DWORD_PTR owner);
    LRESULT KeyDown(WPARAM key, LPARAM lParam);

    TimeField& model_;
    HWND window_;
};

}  // namespace win32
