#include "win32/TrayIcon.h"

#include <cstring>

#include "win32/controls/Pictures.h"
#include "win32/controls/WindowIds.h"

// The first form of the record: 88 bytes in a 32-bit program.
static_assert(sizeof(void*) != 4 || NOTIFYICONDATAA_V1_SIZE == 88);

namespace win32 {

std::optional<TrayClick> TrayClickOf(LPARAM mouseMessage) {
    switch (mouseMessage) {
        case WM_LBUTTONDOWN:
            return TrayClick::Left;
        case WM_RBUTTONDOWN:
            return TrayClick::Right;
        case WM_LBUTTONDBLCLK:
            return TrayClick::Double;
        default:
            return std::nullopt;
    }
}

TrayIcon::TrayIcon(HWND window)
    : PopupTrayIcon(Required(CreatePopupMenu(), "Não foi possível criar o menu PopupTrayIcon")) {
    TrayIconData.hWnd = window;
    for (const MenuItemDescription& description : kTrayMenu) {
        if (!description.id) {
            AppendMenuA(PopupTrayIcon, MF_SEPARATOR, 0, nullptr);  // N1, N2
            continue;
        }
        MENUITEMINFOA item{};
        item.cbSize = sizeof item;
        item.fMask = MIIM_ID | MIIM_STRING | MIIM_BITMAP;
        item.wID = static_cast<UINT>(NumericId(*description.id));
        item.dwTypeData = const_cast<char*>(description.caption);
        item.hbmpItem = PictureOf(description.picture);
        InsertMenuItemA(PopupTrayIcon, GetMenuItemCount(PopupTrayIcon), TRUE, &item);
    }
}

TrayIcon::~TrayIcon() {
    Remove();
    DestroyMenu(PopupTrayIcon);
    for (const auto& [picture, bitmap] : ListaImagemTray) DeleteObject(bitmap);
}

HBITMAP TrayIcon::PictureOf(Picture picture) {
    auto [at, added] = ListaImagemTray.try_emplace(picture, nullptr);
    if (added) at->second = LoadPicture(BitmapId(picture));
    return at->second;
}

void TrayIcon::Install(HICON icon) {
    TrayIconData.cbSize = NOTIFYICONDATAA_V1_SIZE;
    TrayIconData.uID = 1;
    TrayIconData.uCallbackMessage = kTrayIconMessage;
    TrayIconData.hIcon = icon;
    CopyTip(kApplicationTitle);
    TrayIconData.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    Shell_NotifyIconA(NIM_ADD, &TrayIconData);
    installed_ = true;
}

void TrayIcon::SetIcon(HICON icon) {
    TrayIconData.hIcon = icon;
    if (installed_) Shell_NotifyIconA(NIM_MODIFY, &TrayIconData);
}

void TrayIcon::SetTip(const std::string& tip) {
    CopyTip(tip);
    if (installed_) Shell_NotifyIconA(NIM_MODIFY, &TrayIconData);
}

void TrayIcon::CopyTip(const std::string& tip) {
    // Zero bytes up to the field's 64th; a longer text is cut.
    std::memset(TrayIconData.szTip, 0, sizeof TrayIconData.szTip);
    std::strncpy(TrayIconData.szTip, tip.c_str(), sizeof TrayIconData.szTip - 1);
}

void TrayIcon::Remove() {
    if (installed_) Shell_NotifyIconA(NIM_DELETE, &TrayIconData);
    installed_ = false;
}

bool TrayIcon::HasItem(ControlId item) const { return NumericId(item) >= IDM_INICIAR_BACKUP; }

void TrayIcon::SetItemEnabled(ControlId item, bool enabled) {
    EnableMenuItem(PopupTrayIcon, static_cast<UINT>(NumericId(item)),
                   MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
}

void TrayIcon::SetItemText(ControlId item, const std::string& caption) {
    MENUITEMINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_STRING;
    info.dwTypeData = const_cast<char*>(caption.c_str());
    SetMenuItemInfoA(PopupTrayIcon, static_cast<UINT>(NumericId(item)), FALSE, &info);
}

void TrayIcon::SetItemPicture(ControlId item, Picture picture) {
    MENUITEMINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_BITMAP;
    info.hbmpItem = PictureOf(picture);
    SetMenuItemInfoA(PopupTrayIcon, static_cast<UINT>(NumericId(item)), FALSE, &info);
}

void TrayIcon::Popup(POINT at) {
    // The window must be in front for the menu to close when the user clicks elsewhere, and
    // a message after it lets the menu go for good.
    SetForegroundWindow(TrayIconData.hWnd);
    TrackPopupMenu(PopupTrayIcon, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON, at.x, at.y, 0,
                   TrayIconData.hWnd, nullptr);
    PostMessageA(TrayIconData.hWnd, WM_NULL, 0, 0);
}

}  // namespace win32
