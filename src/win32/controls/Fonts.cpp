#include "win32/controls/Fonts.h"

namespace win32 {

HFONT CreatePixelFont(const char* face, int pixels) {
    // A negative height asks for the character height, without the internal leading.
    return CreateFontA(-pixels, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                       DEFAULT_PITCH | FF_SWISS, face);
}

}  // namespace win32
