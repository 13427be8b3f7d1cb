#pragma once
// The window's fonts as GDI fonts. The system maps a face that is missing to its nearest one
// (under Wine with its own fonts: MS Sans Serif becomes Liberation Sans).

#include "controls/WindowLayout.h"
#include "win32/controls/Win32.h"

namespace win32 {

// The window's fonts as its description (WindowLayout.h) names them.
inline constexpr const char* kDialogFace = kDialogFont.face;
inline constexpr const char* kButtonFace = kButtonFont.face;
inline constexpr int kWindowFontPixels = kDialogFont.pixels;

// A font of `face` whose characters are `pixels` high (8 points at 96 dots per inch for 11).
HFONT CreatePixelFont(const char* face, int pixels = kWindowFontPixels);

}  // namespace win32
