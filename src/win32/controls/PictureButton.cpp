#include "win32/controls/PictureButton.h"

#include "win32/controls/Pictures.h"

namespace win32 {
namespace {

constexpr int kGap = 4;  // between picture and caption

}  // namespace

PictureButton::PictureButton(HWND parent, int id, const char* caption, HFONT font, int left,
                             int top, int width, int height, HBITMAP picture,
                             HBITMAP disabledPicture)
    : font_(font),
      picture_(picture),
      disabledPicture_(disabledPicture ? disabledPicture : GreyedCopy(picture)),
      ownsDisabledPicture_(!disabledPicture) {
    window_ = CreateOwnedWindow("BUTTON", nullptr,
                                WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON | BS_OWNERDRAW,
                                0, caption, left, top, width, height, parent, id);
    SendMessageA(window_, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    SetOwner(window_, this);
}

PictureButton::~PictureButton() {
    if (ownsDisabledPicture_ && disabledPicture_) DeleteObject(disabledPicture_);
}

HBITMAP PictureButton::ShownPicture() const {
    return IsWindowEnabled(window_) ? picture_ : disabledPicture_;
}

void PictureButton::Draw(const DRAWITEMSTRUCT& item) const {
    HDC dc = item.hDC;
    RECT rect = item.rcItem;
    const bool pushed = item.itemState & ODS_SELECTED;
    const bool disabled = item.itemState & ODS_DISABLED;
    FillRect(dc, &rect, GetSysColorBrush(COLOR_BTNFACE));
    DrawFrameControl(dc, &rect, DFC_BUTTON, DFCS_BUTTONPUSH | (pushed ? DFCS_PUSHED : 0));

    char caption[64];
    const int length = GetWindowTextA(window_, caption, sizeof caption);
    HGDIOBJ oldFont = SelectObject(dc, font_);
    SIZE text{0, 0};
    GetTextExtentPoint32A(dc, caption, length, &text);
    HBITMAP picture = disabled ? disabledPicture_ : picture_;
    const SIZE pictureSize = picture ? PictureSize(picture) : SIZE{0, 0};

    // Picture and caption centred together; a pressed button moves its content one pixel.
    const int shift = pushed ? 1 : 0;
    const int width = pictureSize.cx + (pictureSize.cx ? kGap : 0) + text.cx;
    const int left = rect.left + (rect.right - rect.left - width) / 2 + shift;
    const int middle = (rect.top + rect.bottom) / 2 + shift;
    if (picture) DrawPicture(dc, picture, left, middle - pictureSize.cy / 2);
    SetBkMode(dc, TRANSPARENT);
    const int textLeft = left + width - text.cx;
    const int textTop = middle - text.cy / 2;
    if (disabled) {  // the classic engraved look of a disabled caption
        SetTextColor(dc, GetSysColor(COLOR_BTNHIGHLIGHT));
        TextOutA(dc, textLeft + 1, textTop + 1, caption, length);
        SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
    } else {
        SetTextColor(dc, RGB(0, 0, 0));
    }
    TextOutA(dc, textLeft, textTop, caption, length);
    SelectObject(dc, oldFont);

    if ((item.itemState & ODS_FOCUS) && !(item.itemState & ODS_NOFOCUSRECT)) {
        RECT focus = item.rcItem;
        InflateRect(&focus, -4, -4);
        DrawFocusRect(dc, &focus);
    }
}

}  // namespace win32
