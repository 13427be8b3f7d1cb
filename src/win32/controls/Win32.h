#pragma once
// The Windows headers the window and its controls use, in one place.

#include <windows.h>
// The order matters: commctrl.h and shellapi.h need windows.h first.
#include <commctrl.h>
#include <shellapi.h>

#include <stdexcept>
#include <string>

namespace win32 {

// A colour of the system (GetSysColor) as 0xRRGGBB.
unsigned SystemRgb(int index);

// The size of `text` drawn in `font`.
SIZE TextSize(HFONT font, const std::string& text);

// The C++ object behind a window, kept in its GWLP_USERDATA.
template <class T>
T* Owner(HWND window) {
    return reinterpret_cast<T*>(GetWindowLongPtrA(window, GWLP_USERDATA));
}
inline void SetOwner(HWND window, void* owner) {
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(owner));
}

// What the window cannot be made without (a window class, a control, a picture): a handle the
// system refused ends the window's creation with `what` and the system's reason.
class CreationError : public std::runtime_error {
public:
    explicit CreationError(const std::string& what);
};
template <class Handle>
Handle Required(Handle handle, const std::string& what) {
    if (!handle) throw CreationError(what);
    return handle;
}

// Registers, once, a window class of Duplora's own with procedure `procedure`.
void RegisterWindowClass(const char* name, WNDPROC procedure);
// Creates a window: of a class of Duplora's own, whose procedure finds `owner` through OwnerOf,
// or of the system's (a button, an edit, a static control) with no owner. Throws CreationError.
HWND CreateOwnedWindow(const char* className, void* owner, DWORD style, DWORD extendedStyle,
                       const char* text, int left, int top, int width, int height, HWND parent,
                       int id);
// In such a procedure: the owner, once WM_NCCREATE has stored it; nullptr before.
template <class T>
T* OwnerOf(HWND window, UINT message, LPARAM lParam) {
    if (message == WM_NCCREATE)
        SetOwner(window, reinterpret_cast<const CREATESTRUCTA*>(lParam)->lpCreateParams);
    return Owner<T>(window);
}

}  // namespace win32
