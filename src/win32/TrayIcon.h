#pragma once
// The notification-area icon through Shell_NotifyIconA, and its menu PopupTrayIcon as the
// window's description lists it, with the pictures of ListaImagemTray. The icon's rules (what a
// press does, when the menu opens, the third item's caption) are MainForm's; this is only what the
// shell and the menu need.

#include <map>
#include <optional>
#include <string>

#include "controls/WindowLayout.h"
#include "mainform/MainForm.h"
#include "win32/controls/Win32.h"

namespace win32 {

// The icon's callback message, WM_TRAYICON: the value of WM_USER.
inline constexpr UINT kTrayIconMessage = WM_USER;

// The click that the callback's mouse message (its lParam) reports: the left or the right button
// pressed, or a left double click (the second press of a quick pair, which the shell reports
// instead of a press). Moves, releases, the middle button, the second press of a right double
// click (as Qt reports none either) and anything else are none.
std::optional<TrayClick> TrayClickOf(LPARAM mouseMessage);

class TrayIcon {
public:
    explicit TrayIcon(HWND window);
    ~TrayIcon();
    TrayIcon(const TrayIcon&) = delete;
    TrayIcon& operator=(const TrayIcon&) = delete;

    // Fills TrayIconData (the 88-byte first form: uID 1, callback WM_TRAYICON, the title as
    // tip) and adds the icon. The shell's answer is not looked at: without a notification area
    // Duplora runs on without its icon.
    void Install(HICON icon);
    // Sends the whole record again with another icon, or another tip.
    void SetIcon(HICON icon);
    void SetTip(const std::string& tip);
    // Takes the icon out of the notification area (the window is closing).
    void Remove();

    // A menu item of the description.
    bool HasItem(ControlId item) const;
    void SetItemEnabled(ControlId item, bool enabled);
    void SetItemText(ControlId item, const std::string& caption);
    void SetItemPicture(ControlId item, Picture picture);
    // Shows the menu with its top-left corner at `at`; returns when it closes. A chosen item
    // reaches the window as WM_COMMAND.
    void Popup(POINT at);

    NOTIFYICONDATAA TrayIconData{};
    HMENU PopupTrayIcon;
    std::map<Picture, HBITMAP> ListaImagemTray;  // the menu's pictures

private:
    HBITMAP PictureOf(Picture picture);
    void CopyTip(const std::string& tip);
    bool installed_ = false;
};

}  // namespace win32
