#pragma once
// What the window's logic (MainForm) needs of a window: only what is the toolkit's. The Qt
// window and the Win32 window implement it with the controls they build from the window's
// description (WindowLayout.h); tests implement it with a recording window. Each window makes
// its controls, its title-bar icon and its tray icon itself, before it calls FormCreate, and
// calls MainForm's handlers from its events.

#include <cstdint>
#include <functional>
#include <string>

#include "controls/WindowLayout.h"
#include "mainform/DefaultHandler.h"

class MainFormView : public MessageBoxes {
public:
    // A control's text: a label's, or a tray menu item's caption.
    virtual void SetText(ControlId control, const std::string& text) = 0;
    // The picture a step image or a tray menu item shows. A step image takes over the picture
    // of the hidden template that holds it (imgPendende, imgProcessando, imgOk, imgErro).
    virtual void SetPicture(ControlId control, Picture picture) = 0;
    // A group box disables the controls it holds with it, and gives them back their own state.
    virtual void SetEnabled(ControlId control, bool enabled) = 0;
    // A check box. Setting its state fires no click handler.
    virtual bool Checked(ControlId control) const = 0;
    virtual void SetChecked(ControlId control, bool checked) = 0;
    virtual void Focus(ControlId control) = 0;
    // Shows the time field's model (MainForm::edtHorario) again, its text and its caret, once
    // the logic has changed it.
    virtual void RefreshTimeField() = 0;
    // cxProgressBar1: the begin colour (blue-green-red), the maximum, the position.
    virtual void SetProgressBar(std::uint32_t beginColor, double maximum, double position) = 0;
    // Lets the window handle every pending message (repaint, hide and show, timers, menus).
    virtual void ProcessMessages() = 0;

    // The window's own visible flag: a minimised window still counts as visible.
    virtual bool WindowVisible() const = 0;
    // Hiding takes the taskbar button away too; showing brings both back, the window in front.
    virtual void SetWindowVisible(bool visible) = 0;
    // Closes the window as its close box does: the window asks MainForm::FormClose.
    virtual void CloseWindow() = 0;
    // Ends the message loop; the process then exits.
    virtual void QuitApplication() = 0;
    // Runs `action` once the event being handled has returned to the message loop.
    virtual void RunLater(std::function<void()> action) = 0;
    virtual void Beep() = 0;
    // Starts a fresh period of `timer`, or stops it.
    virtual void SetTimerActive(TimerId timer, bool active) = 0;

    // The application's icon (the taskbar, the task switcher) and the notification-area icon,
    // with its tip; the title bar keeps MAINICON.
    virtual void SetTrayIcon(Picture icon, const std::string& tip) = 0;
    // Shows PopupTrayIcon with its top-left corner at the cursor; returns when it closes.
    virtual void PopupTrayMenuAtCursor() = 0;
};
