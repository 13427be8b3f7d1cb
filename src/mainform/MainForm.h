#pragma once
// The logic of TFrmPrincipal, Duplora's one window, without any toolkit: start-up, the backup
// run started from the button or the daily timer, hiding and showing, closing, leaving the time
// field, and the notification-area icon's rules. The window (Qt on Linux, Win32 on Windows)
// implements MainFormView with its controls and calls the handlers below from its events.
// Every handler runs inside the default handler: no error leaves it unseen.

#include <exception>
#include <string>

#include "BackupRun.h"
#include "Clock.h"
#include "MainFormView.h"
#include "Settings.h"
#include "TavixDatabase.h"

// The mouse messages the shell reports for the notification-area icon.
enum TrayMouseMessage : int {
    kTrayMouseMove = 0x200,
    kTrayLeftButtonDown = 0x201,
    kTrayLeftButtonUp = 0x202,
    kTrayLeftDoubleClick = 0x203,
    kTrayRightButtonDown = 0x204,
    kTrayRightButtonUp = 0x205,
    kTrayRightDoubleClick = 0x206,
    kTrayMiddleButtonDown = 0x207,
};

class MainForm {
public:
    // Creates the database objects, which load the client library: a missing library throws
    // here, and the window cannot be created.
    MainForm(MainFormView& view, const Clock& clock,
             std::string settingsFile = Settings::DefaultFileName());

    // The window's creation handler: its icon, the tray icon, the settings, the step pictures.
    // A settings file that cannot be read is said in a box over the window once it is up.
    void FormCreate();
    // Runs one whole backup (the start button, or the daily timer through the settings).
    void btnIniciarBackupClick();
    // The tray menu's "Iniciar Backup": a run, as the start button starts it. The item is
    // enabled exactly when the button is.
    void MenuIniciarBackupClick();
    void btnOcultarClick();
    void btnFecharClick();
    // Hides the window when it is visible, shows it in front otherwise.
    void MenuOcultar_RestaurarClick();
    void Fechar1Click();
    void chkDiarioClick();
    void TmrExecutaDiarioTimer();
    // The focus is about to leave the time field for another control of the window: the
    // field's own check, then its exit handler. False keeps the focus in the field (a message
    // has been shown), and the click or key that was moving it must do nothing.
    bool TimeFieldMayLoseFocus();
    // The close handler, for every way of closing: saves the schedule. True when the window
    // closes now and the application ends. False keeps it open: the save was refused (the
    // message appears once the close event has returned), or a run is in progress (the
    // window stays until the run has returned, then the application ends).
    bool FormClose();
    // The system ends the session (logout, a service manager's stop): the schedule is saved as
    // on closing, and the application ends even when the save is refused, since nobody is left
    // to read a message; the refusal goes to the log. A run in progress ends first.
    void EndSession();

    // The notification-area icon's callback with the shell's mouse message: a left press
    // toggles the window, a right press arms TimerPopup, everything else is ignored.
    void WMTrayIcon(int mouseMessage);
    // TimerPopup's tick: the menu, once per right press, at the cursor.
    void TimerPopupTimer();
    // Before every popup: "Ocultar" or "Restaurar", as the window is visible or not.
    void PopupTrayIconPopup();

    bool RunInProgress() const { return runInProgress_; }

    TavixDatabase Database;  // DB_Tavix, Trans_Tavix, QryBusca
    Settings Config;         // ServerName, SystemFolder, the schedule
    BackupRun Run;           // TotalMB, CopiedMB

private:
    // Shows `error` as the default handler does, once the event being handled has returned.
    void ShowLater(std::exception_ptr error);

    MainFormView& view_;
    bool runInProgress_ = false;
    bool closeRequested_ = false;  // closed during a run: the application ends when it returns
};
