#pragma once
// A picture control (class DUPLORA_IMAGE_CLASS) for the step images and their hidden templates:
// it draws its picture with the picture's alpha over the face colour beneath it and nothing
// else; empty until a picture is given. It answers STM_SETIMAGE and STM_GETIMAGE as a static
// control does, without copying the bitmap: a step image then holds the template's very
// picture, which is how a state is told from outside.

#include "win32/controls/Win32.h"

namespace win32 {

class TransparentImage {
public:
    TransparentImage(HWND parent, int id, int left, int top, bool visible = true);
    TransparentImage(const TransparentImage&) = delete;
    TransparentImage& operator=(const TransparentImage&) = delete;

    HWND Handle() const { return window_; }
    HBITMAP Picture() const { return picture_; }
    // The picture is not owned: the window keeps its pictures for its lifetime.
    void SetPicture(HBITMAP picture);
    void AssignPicture(const TransparentImage& source) { SetPicture(source.picture_); }

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    HBITMAP picture_ = nullptr;
    HWND window_;
};

}  // namespace win32
