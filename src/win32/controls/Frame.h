#pragma once
// grpAgendamento and pnlOpcoes: container windows (class DUPLORA_FRAME_CLASS) whose controls
// are their children, placed in the container's coordinates. A group box draws an etched frame
// with its caption on the top line; a panel a raised outer and a lowered inner bevel. Both pass
// their children's notifications on to the window, and take part in Tab navigation.

#include "win32/controls/Win32.h"

namespace win32 {

class Frame {
public:
    enum class Kind { GroupBox, Panel };

    Frame(Kind kind, HWND parent, int id, const char* caption, HFONT font, int left, int top,
          int width, int height);
    Frame(const Frame&) = delete;
    Frame& operator=(const Frame&) = delete;

    HWND Handle() const { return window_; }

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void Paint();

    Kind kind_;
    HFONT font_;
    HWND window_;
};

}  // namespace win32
