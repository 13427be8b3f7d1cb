#include "win32/controls/Label.h"

namespace win32 {
namespace {

constexpr UINT_PTR kWaitingTimer = 1;

}  // namespace

Label::Label(HWND parent, int id, const char* text, HFONT font, int left, int top) : font_(font) {
    window_ = CreateOwnedWindow("STATIC", nullptr, WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX, 0,
                                "", left, top, 0, 0, parent, id);
    SendMessageA(window_, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    SetOwner(window_, this);
    text_.Offer(text, 0);
    Show(text);
}

void Label::SetText(const std::string& text) {
    if (text_.Offer(text, GetTickCount()))
        Show(text);
    else if (!timerRunning_)  // setting a timer is a call to the system: once per wait
        timerRunning_ =
            SetTimer(window_, kWaitingTimer, ThrottledText::kIntervalMs, &ShowWaiting) != 0;
}

void Label::Show(const std::string& text) {
    const SIZE size = TextSize(font_, text);
    SetWindowPos(window_, nullptr, 0, 0, size.cx, size.cy,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    SetWindowTextA(window_, text.c_str());
}

void CALLBACK Label::ShowWaiting(HWND window, UINT, UINT_PTR id, DWORD) {
    Label* label = Owner<Label>(window);
    if (auto text = label->text_.TakeWaiting(GetTickCount())) label->Show(*text);
    if (!label->text_.Waiting()) {  // else the timer came early and ticks again
        KillTimer(window, id);
        label->timerRunning_ = false;
    }
}

}  // namespace win32
