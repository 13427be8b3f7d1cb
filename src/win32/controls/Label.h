#pragma once
// A label sized to its text (lblProgresso, lblDestino, Label1, Label2). Texts given faster than
// ThrottledText allows are held back, and a 20 ms timer shows the last one, so a walk that gives
// a text per entry repaints the label at most every 20 ms and always ends on its last text.

#include "controls/ThrottledText.h"
#include "win32/controls/Win32.h"

namespace win32 {

class Label {
public:
    Label(HWND parent, int id, const char* text, HFONT font, int left, int top);
    Label(const Label&) = delete;
    Label& operator=(const Label&) = delete;

    HWND Handle() const { return window_; }
    // The latest text given, shown or about to be.
    const std::string& Text() const { return text_.Text(); }
    void SetText(const std::string& text);

private:
    static void CALLBACK ShowWaiting(HWND window, UINT message, UINT_PTR id, DWORD time);
    void Show(const std::string& text);

    ThrottledText text_;
    bool timerRunning_ = false;
    HFONT font_;
    HWND window_;
};

}  // namespace win32
