#include "win32/controls/TransparentImage.h"

#include "win32/controls/Pictures.h"
#include "win32/controls/ResourceIds.h"

namespace win32 {

TransparentImage::TransparentImage(HWND parent, int id, int left, int top, bool visible) {
    RegisterWindowClass(DUPLORA_IMAGE_CLASS, &WindowProc);
    window_ = CreateOwnedWindow(DUPLORA_IMAGE_CLASS, this, WS_CHILD | (visible ? WS_VISIBLE : 0), 0,
                                "", left, top, 16, 16, parent, id);
}

void TransparentImage::SetPicture(HBITMAP picture) {
    SendMessageA(window_, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(picture));
}

LRESULT CALLBACK TransparentImage::WindowProc(HWND window, UINT message, WPARAM wParam,
                                              LPARAM lParam) {
    TransparentImage* image = OwnerOf<TransparentImage>(window, message, lParam);
    if (!image) return DefWindowProcA(window, message, wParam, lParam);
    switch (message) {
        case STM_SETIMAGE: {
            if (wParam != IMAGE_BITMAP) return 0;
            HBITMAP previous = image->picture_;
            image->picture_ = reinterpret_cast<HBITMAP>(lParam);
            if (image->picture_ != previous) InvalidateRect(window, nullptr, TRUE);
            return reinterpret_cast<LRESULT>(previous);
        }
        case STM_GETIMAGE:
            return wParam == IMAGE_BITMAP ? reinterpret_cast<LRESULT>(image->picture_) : 0;
        case WM_PAINT: {
            PAINTSTRUCT paint;
            HDC dc = BeginPaint(window, &paint);  // the background is erased to the face colour
            if (image->picture_) DrawPicture(dc, image->picture_, 0, 0);
            EndPaint(window, &paint);
            return 0;
        }
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace win32
