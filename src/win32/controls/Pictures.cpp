#include "win32/controls/Pictures.h"

#include <algorithm>

namespace win32 {

HBITMAP LoadPicture(int id) {
    return Required(static_cast<HBITMAP>(LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id),
                                                    IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)),
                    "Não foi possível carregar a imagem " + std::to_string(id));
}

namespace {

HICON LoadIconResource(const char* name, int side, const std::string& what) {
    return Required(static_cast<HICON>(LoadImageA(GetModuleHandleA(nullptr), name, IMAGE_ICON, side,
                                                  side, LR_DEFAULTCOLOR)),
                    "Não foi possível carregar o ícone " + what);
}

}  // namespace

HICON LoadIconImage(const char* name, int side) { return LoadIconResource(name, side, name); }

HICON LoadIconImage(int id, int side) {
    return LoadIconResource(MAKEINTRESOURCEA(id), side, std::to_string(id));
}

SIZE PictureSize(HBITMAP picture) {
    BITMAP info{};
    GetObjectA(picture, sizeof info, &info);
    return {info.bmWidth, info.bmHeight};
}

HBITMAP GreyedCopy(HBITMAP picture) {
    DIBSECTION source{};
    if (GetObjectA(picture, sizeof source, &source) != sizeof source ||
        source.dsBm.bmBitsPixel != 32) {
        SetLastError(ERROR_INVALID_PARAMETER);
        throw CreationError("Não foi possível acinzentar uma imagem");
    }
    const int width = source.dsBm.bmWidth;
    const int height = source.dsBm.bmHeight;
    BITMAPINFO info{};
    info.bmiHeader = source.dsBmih;
    void* bits = nullptr;
    HBITMAP grey = Required(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0),
                            "Não foi possível acinzentar uma imagem");
    const auto* in = static_cast<const unsigned char*>(source.dsBm.bmBits);
    auto* out = static_cast<unsigned char*>(bits);
    for (int i = 0; i < width * height * 4; i += 4) {
        // Premultiplied blue, green, red, alpha: the grey level of the colour, raised halfway
        // towards white, premultiplied again.
        const int alpha = in[i + 3];
        const int luma = (in[i] * 29 + in[i + 1] * 150 + in[i + 2] * 77) >> 8;
        const int level = std::min(alpha, (luma + alpha) / 2);
        out[i] = out[i + 1] = out[i + 2] = static_cast<unsigned char>(level);
        out[i + 3] = static_cast<unsigned char>(alpha);
    }
    return grey;
}

void DrawPicture(HDC dc, HBITMAP picture, int x, int y) {
    const SIZE size = PictureSize(picture);
    HDC source = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(source, picture);
    const BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    AlphaBlend(dc, x, y, size.cx, size.cy, source, 0, 0, size.cx, size.cy, blend);
    SelectObject(source, old);
    DeleteDC(source);
}

}  // namespace win32
