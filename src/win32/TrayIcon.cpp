#include "TrayIcon.h"

#include <cstring>

#include "Pictures.h"
#include "ResourceIds.h"

// The first form of the record: 88 bytes in a 32-bit program.
static_assert(sizeof(void*) != 4 || NOTIFYICONDATAA_V1_SIZE == 88);

namespace win32 {

TrayIcon::TrayIcon(HWND window)
    : PopupTrayIcon(Required(CreatePopupMenu(), "Não foi possível criar o menu PopupTrayIcon")),
      ListaImagemTray{LoadPicture(IDB_TRAY_FECHAR), LoadPicture(IDB_TRAY_OCULTAR),
                      LoadPicture(IDB_TRAY_RESTAURAR), LoadPicture(IDB_TRAY_INICIAR_BACKUP)} {
    TrayIconData.hWnd = window;
    AddItem(IDM_INICIAR_BACKUP, "Iniciar Backup", ListaImagemTray[kTrayPictureIniciarBackup]);
    AppendMenuA(PopupTrayIcon, MF_SEPARATOR, 0, nullptr);  // N2
    AddItem(IDM_OCULTAR_RESTAURAR, "Ocultar", ListaImagemTray[kTrayPictureOcultar]);
    AppendMenuA(PopupTrayIcon, MF_SEPARATOR, 0, nullptr);                // N1
    AddItem(IDM_FECHAR, "Fechar", ListaImagemTray[kTrayPictureFechar]);  // Fechar1
}

TrayIcon::~TrayIcon() {
    Remove();
    DestroyMenu(PopupTrayIcon);
    for (HBITMAP picture : ListaImagemTray) DeleteObject(picture);
}

void TrayIcon::AddItem(int id, const char* caption, HBITMAP picture) {
    MENUITEMINFOA item{};
    item.cbSize = sizeof item;
    item.fMask = MIIM_ID | MIIM_STRING | MIIM_BITMAP;
    item.wID = static_cast<UINT>(id);
    item.dwTypeData = const_cast<char*>(caption);
    item.hbmpItem = picture;
    InsertMenuItemA(PopupTrayIcon, GetMenuItemCount(PopupTrayIcon), TRUE, &item);
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

void TrayIcon::SetItemEnabled(int id, bool enabled) {
    EnableMenuItem(PopupTrayIcon, static_cast<UINT>(id),
                   MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
}

void TrayIcon::SetMenuOcultarRestaurar(const std::string& caption, TrayMenuPicture picture) {
    MENUITEMINFOA item{};
    item.cbSize = sizeof item;
    item.fMask = MIIM_STRING | MIIM_BITMAP;
    item.dwTypeData = const_cast<char*>(caption.c_str());
    item.hbmpItem = ListaImagemTray[picture];
    SetMenuItemInfoA(PopupTrayIcon, IDM_OCULTAR_RESTAURAR, FALSE, &item);
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
