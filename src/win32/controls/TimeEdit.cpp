#include "win32/controls/TimeEdit.h"

#include "controls/TimeFieldKeys.h"

namespace win32 {

TimeEdit::TimeEdit(TimeField& model, HWND parent, int id, HFONT font, int left, int top, int width,
                   int height)
    : model_(model) {
    window_ = CreateOwnedWindow("EDIT", nullptr,
                                WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_LEFT | ES_AUTOHSCROLL,
                                WS_EX_CLIENTEDGE, "", left, top, width, height, parent, id);
    SendMessageA(window_, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    SendMessageA(window_, EM_LIMITTEXT, TimeField::kLength, 0);
    SetWindowSubclass(window_, &SubclassProc, 1, reinterpret_cast<DWORD_PTR>(this));
    Refresh();
}

void TimeEdit::Refresh() {
    SetWindowTextA(window_, model_.DisplayText().c_str());
    SendMessageA(window_, EM_SETSEL, model_.Cursor(), model_.Cursor() + model_.SelectionLength());
}

LRESULT TimeEdit::KeyDown(WPARAM key, LPARAM lParam) {
    TimeFieldKey fieldKey;
    switch (key) {
        case VK_LEFT:
            fieldKey = TimeFieldKey::Left;
            break;
        case VK_RIGHT:
            fieldKey = TimeFieldKey::Right;
            break;
        case VK_HOME:
            fieldKey = TimeFieldKey::Home;
            break;
        case VK_END:
            fieldKey = TimeFieldKey::End;
            break;
        case VK_DELETE:
            fieldKey = TimeFieldKey::Delete;
            break;
        case VK_BACK:
            fieldKey = TimeFieldKey::Backspace;
            break;
        case VK_ESCAPE:
            fieldKey = TimeFieldKey::Escape;
            break;
        default:
            return DefSubclassProc(window_, WM_KEYDOWN, key, lParam);
    }
    PressKey(model_, fieldKey);
    Refresh();
    return 0;
}

LRESULT CALLBACK TimeEdit::SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                        UINT_PTR, DWORD_PTR owner) {
    auto* edit = reinterpret_cast<TimeEdit*>(owner);
    switch (message) {
        case WM_GETDLGCODE: {
            // Escape belongs to the field, not to the window's dialog navigation.
            const auto* pending = reinterpret_cast<const MSG*>(lParam);
            LRESULT code = DLGC_WANTARROWS | DLGC_WANTCHARS | DLGC_HASSETSEL;
            if (pending && pending->message == WM_KEYDOWN && pending->wParam == VK_ESCAPE)
                code |= DLGC_WANTMESSAGE;
            return code;
        }
        case WM_KEYDOWN:
            return edit->KeyDown(wParam, lParam);
        case WM_CHAR:
            // Characters of the ANSI code page: only ASCII can be a digit or the separator.
            if (TypeCharacter(edit->model_, static_cast<unsigned char>(wParam)) == Typed::Refused)
                MessageBeep(MB_OK);
            edit->Refresh();
            return 0;
        case WM_SETFOCUS: {
            edit->model_.FocusIn();
            const LRESULT result = DefSubclassProc(window, message, wParam, lParam);
            edit->Refresh();
            return result;
        }
        case WM_LBUTTONUP: {
            const LRESULT result = DefSubclassProc(window, message, wParam, lParam);
            DWORD start = 0, end = 0;
            SendMessageA(window, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                         reinterpret_cast<LPARAM>(&end));
            SelectWithMouse(edit->model_, static_cast<int>(start), static_cast<int>(end));
            edit->Refresh();
            return result;
        }
        case WM_PASTE:
        case WM_CUT:
        case WM_CLEAR:
        case WM_UNDO:
        case WM_CONTEXTMENU:
            return 0;
        case WM_NCDESTROY:
            RemoveWindowSubclass(window, &SubclassProc, 1);
            break;
    }
    return DefSubclassProc(window, message, wParam, lParam);
}

}  // namespace win32
