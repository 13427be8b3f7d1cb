#include "win32/controls/Frame.h"

#include "win32/controls/ResourceIds.h"

namespace win32 {

Frame::Frame(Kind kind, HWND parent, int id, const char* caption, HFONT font, int left, int top,
             int width, int height)
    : kind_(kind), font_(font) {
    RegisterWindowClass(DUPLORA_FRAME_CLASS, &WindowProc);
    window_ = CreateOwnedWindow(DUPLORA_FRAME_CLASS, this, WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN,
                                WS_EX_CONTROLPARENT, caption, left, top, width, height, parent, id);
}

void Frame::Paint() {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window_, &paint);
    RECT rect;
    GetClientRect(window_, &rect);
    if (kind_ == Kind::Panel) {
        DrawEdge(dc, &rect, BDR_RAISEDINNER, BF_RECT);
        InflateRect(&rect, -1, -1);
        DrawEdge(dc, &rect, BDR_SUNKENINNER, BF_RECT);
    } else {
        char caption[64];
        const int length = GetWindowTextA(window_, caption, sizeof caption);
        HGDIOBJ oldFont = SelectObject(dc, font_);
        SIZE text{0, 0};
        GetTextExtentPoint32A(dc, caption, length, &text);
        rect.top += text.cy / 2;
        DrawEdge(dc, &rect, EDGE_ETCHED, BF_RECT);
        // The caption on the top line, over a strip of face colour.
        RECT strip{6, 0, 8 + text.cx + 2, text.cy};
        FillRect(dc, &strip, GetSysColorBrush(COLOR_BTNFACE));
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, GetSysColor(IsWindowEnabled(window_) ? COLOR_BTNTEXT : COLOR_GRAYTEXT));
        TextOutA(dc, 8, 0, caption, length);
        SelectObject(dc, oldFont);
    }
    EndPaint(window_, &paint);
}

LRESULT CALLBACK Frame::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Frame* frame = OwnerOf<Frame>(window, message, lParam);
    if (!frame) return DefWindowProcA(window, message, wParam, lParam);
    switch (message) {
        case WM_PAINT:
            frame->Paint();
            return 0;
        case WM_ENABLE:
            InvalidateRect(window, nullptr, TRUE);
            break;
        case WM_COMMAND:
        case WM_NOTIFY:
        case WM_DRAWITEM:
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLOREDIT:
            return SendMessageA(GetParent(window), message, wParam, lParam);
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace win32
