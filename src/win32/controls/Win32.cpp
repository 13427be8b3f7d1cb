#include "win32/controls/Win32.h"

#include "controls/ProgressBarModel.h"
#include "platform/SystemError.h"

namespace win32 {

unsigned SystemRgb(int index) { return ProgressBarModel::ColorFromBgr(GetSysColor(index)); }

SIZE TextSize(HFONT font, const std::string& text) {
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, font);
    SIZE size{0, 0};
    GetTextExtentPoint32A(dc, text.data(), static_cast<int>(text.size()), &size);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    return size;
}

CreationError::CreationError(const std::string& what)
    : std::runtime_error(what + ": " + platform::LastErrorText()) {}

void RegisterWindowClass(const char* name, WNDPROC procedure) {
    WNDCLASSA windowClass{};
    if (GetClassInfoA(GetModuleHandleA(nullptr), name, &windowClass)) return;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));  // IDC_ARROW
    windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    windowClass.lpszClassName = name;
    Required(RegisterClassA(&windowClass),
             std::string("Não foi possível registrar a classe de janela ") + name);
}

HWND CreateOwnedWindow(const char* className, void* owner, DWORD style, DWORD extendedStyle,
                       const char* text, int left, int top, int width, int height, HWND parent,
                       int id) {
    return Required(CreateWindowExA(extendedStyle, className, text, style, left, top, width, height,
                                    parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                    GetModuleHandleA(nullptr), owner),
                    std::string("Não foi possível criar a janela ") + className);
}

}  // namespace win32
