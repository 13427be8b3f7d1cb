#pragma once
// The pictures compiled into Duplora.exe (ResourceIds.h), loaded as the API shows them.

#include "win32/controls/Win32.h"

namespace win32 {

// A 32-bit bitmap with premultiplied alpha, as a DIB section. Throws CreationError when it
// cannot be loaded.
HBITMAP LoadPicture(int id);
// An icon resource at `side` x `side` pixels (the image of that size the icon holds). Throws
// CreationError when it cannot be loaded.
HICON LoadIconImage(const char* name, int side);
HICON LoadIconImage(int id, int side);
// The picture washed out to grey, as a disabled button shows a picture it has no second one
// for; alpha kept. Throws CreationError for a picture that is no 32-bit DIB section.
HBITMAP GreyedCopy(HBITMAP picture);
// Draws a picture with its alpha over what is already drawn at (x, y).
void DrawPicture(HDC dc, HBITMAP picture, int x, int y);
SIZE PictureSize(HBITMAP picture);

}  // namespace win32
