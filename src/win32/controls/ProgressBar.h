#pragma once
// cxProgressBar1 as a Win32 control of its own (class DUPLORA_PROGRESS_CLASS): a window around
// ProgressBarModel that draws the model's pixels, runs the glint's 30 ms timer and repaints only
// when the model says that what it draws has changed, and only the columns that changed.

#include <cstdint>
#include <vector>

#include "controls/ProgressBarModel.h"
#include "win32/controls/Win32.h"

namespace win32 {

class ProgressBar {
public:
    ProgressBar(HWND parent, int id, int left, int top, int width, int height);
    ProgressBar(const ProgressBar&) = delete;
    ProgressBar& operator=(const ProgressBar&) = delete;

    HWND Handle() const { return window_; }
    const ProgressBarModel& Model() const { return model_; }
    void SetMaximum(double maximum);
    void SetPosition(double position);
    void SetBarColor(Rgb color);

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void Paint();
    void Changed(bool redraw);

    ProgressBarModel model_;
    std::vector<std::uint32_t> pixels_;  // what the model draws, kept from one paint to the next
    HWND window_;
};

}  // namespace win32
