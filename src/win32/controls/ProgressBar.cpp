#include "win32/controls/ProgressBar.h"

#include <algorithm>

#include "win32/controls/ResourceIds.h"

namespace win32 {
namespace {

constexpr UINT_PTR kGlintTimer = 1;

}  // namespace

ProgressBar::ProgressBar(HWND parent, int id, int left, int top, int width, int height)
    : model_(width, height) {
    RegisterWindowClass(DUPLORA_PROGRESS_CLASS, &WindowProc);
    window_ = CreateOwnedWindow(DUPLORA_PROGRESS_CLASS, this, WS_CHILD | WS_VISIBLE, 0, "", left,
                                top, width, height, parent, id);
    SetTimer(window_, kGlintTimer, ProgressBarModel::kTickMs, nullptr);
}

void ProgressBar::Changed(bool redraw) {
    if (!redraw) return;
    const ProgressBarModel::Columns columns = model_.ChangedColumns();
    const RECT area{columns.first, 0, columns.last, model_.Height()};
    InvalidateRect(window_, &area, FALSE);
}

void ProgressBar::SetMaximum(double maximum) { Changed(model_.SetMaximum(maximum)); }

void ProgressBar::SetPosition(double position) { Changed(model_.SetPosition(position)); }

void ProgressBar::SetBarColor(Rgb color) { Changed(model_.SetBarColor(color)); }

void ProgressBar::Paint() {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window_, &paint);
    // The buffer keeps what earlier paints drew; only the columns to paint are drawn anew and
    // copied to the screen.
    const int width = model_.Width();
    const int height = model_.Height();
    const int left = std::clamp(static_cast<int>(paint.rcPaint.left), 0, width);
    const int right = std::clamp(static_cast<int>(paint.rcPaint.right), left, width);
    pixels_.resize(static_cast<std::size_t>(width) * height);
    model_.Render(pixels_.data(), width, SystemRgb(COLOR_BTNSHADOW), SystemRgb(COLOR_WINDOW),
                  {left, right});
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top row first, as the model draws
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    SetDIBitsToDevice(dc, left, 0, right - left, height, left, 0, 0, height, pixels_.data(), &info,
                      DIB_RGB_COLORS);
    EndPaint(window_, &paint);
}

LRESULT CALLBACK ProgressBar::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    ProgressBar* bar = OwnerOf<ProgressBar>(window, message, lParam);
    if (!bar) return DefWindowProcA(window, message, wParam, lParam);
    switch (message) {
        case WM_TIMER:
            if (wParam == kGlintTimer) {
                bar->Changed(bar->model_.AdvanceGlint());
                return 0;
            }
            break;
        case WM_ERASEBKGND:
            return 1;  // the paint covers every pixel
        case WM_PAINT:
            bar->Paint();
            return 0;
        case WM_DESTROY:
            KillTimer(window, kGlintTimer);
            break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace win32
