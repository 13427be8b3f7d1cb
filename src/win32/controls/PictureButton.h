#pragma once
// btnIniciarBackup, btnOcultar, btnFechar: owner-drawn push buttons that show a picture left of
// the caption, the two centred together, in their own font; the second picture while disabled,
// or, without one, a greyed copy of the first. The window forwards WM_DRAWITEM to Draw and
// shows the hand cursor over them.

#include "win32/controls/Win32.h"

namespace win32 {

class PictureButton {
public:
    PictureButton(HWND parent, int id, const char* caption, HFONT font, int left, int top,
                  int width, int height, HBITMAP picture, HBITMAP disabledPicture = nullptr);
    ~PictureButton();
    PictureButton(const PictureButton&) = delete;
    PictureButton& operator=(const PictureButton&) = delete;

    HWND Handle() const { return window_; }
    HBITMAP Picture() const { return picture_; }
    // The picture the button shows in its present state.
    HBITMAP ShownPicture() const;
    // Draws the button (WM_DRAWITEM of its parent).
    void Draw(const DRAWITEMSTRUCT& item) const;

    static PictureButton* From(HWND button) { return Owner<PictureButton>(button); }

private:
    HWND window_;
    HFONT font_;
    HBITMAP picture_;
    HBITMAP disabledPicture_;
    bool ownsDisabledPicture_;
};

}  // namespace win32
