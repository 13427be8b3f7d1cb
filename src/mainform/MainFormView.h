#pragma once
// The main window's controls as the window's logic (MainForm) drives them. The Qt window and
// the Win32 window implement it with their controls; tests implement it with a recording fake.
// Besides these, the window calls MainForm's handlers from its events.

#include <functional>
#include <string>

#include "BackupView.h"
#include "DefaultHandler.h"
#include "SettingsView.h"

// The pictures of the tray menu's image list ListaImagemTray, by index.
enum TrayMenuPicture : int {
    kTrayPictureFechar = 0,
    kTrayPictureOcultar = 1,
    kTrayPictureRestaurar = 2,
    kTrayPictureIniciarBackup = 3,
};

class MainFormView : public BackupView, public SettingsView, public MessageBoxes {
public:
    // The title bar's icon: MAINICON (the idle picture), set once and never changed.
    virtual void SetMainIcon() = 0;
    // The window's own visible flag: a minimised window still counts as visible.
    virtual bool WindowVisible() const = 0;
    // Hiding takes the taskbar button away too; showing brings both back, the window in front.
    virtual void HideWindow() = 0;
    virtual void ShowWindowInFront() = 0;
    // Closes the window as its close box does: the window asks MainForm::FormClose.
    virtual void CloseWindow() = 0;
    // Ends the message loop; the process then exits.
    virtual void QuitApplication() = 0;
    // Runs `action` once the event being handled has returned to the message loop.
    virtual void RunLater(std::function<void()> action) = 0;
    virtual void Beep() = 0;

    // The time field's own check as the focus leaves it (TimeField::CheckOnExit), the field
    // showing its text and caret afterwards.
    virtual bool CheckTimeFieldOnExit() = 0;

    // The notification-area icon: added once with the window's icon and the title as its tip.
    virtual void InstallTrayIcon() = 0;
    // TimerPopup, 200 ms; its tick calls MainForm::TimerPopupTimer.
    virtual bool PopupTimerActive() const = 0;
    virtual void SetPopupTimerActive(bool active) = 0;
    // The third menu item, MenuOcultar_Restaurar.
    virtual void SetMenuOcultarRestaurar(const std::string& caption, TrayMenuPicture picture) = 0;
    // Shows PopupTrayIcon with its top-left corner at the cursor; returns when it closes.
    virtual void PopupTrayMenuAtCursor() = 0;
};
