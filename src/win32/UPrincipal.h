#pragma once
// TFrmPrincipal on Windows, Duplora's one window, made of Win32 controls built from the window's
// description (WindowLayout.h): the daily schedule, the four steps with their pictures, the
// progress lines and bar, the three buttons, and the tray icon. It is only its controls: what
// they do is the window logic's (MainForm), which it serves as MainFormView.

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "controls/MessagePace.h"
#include "mainform/MainForm.h"
#include "win32/MessageBoxes.h"
#include "win32/TrayIcon.h"
#include "win32/controls/Frame.h"
#include "win32/controls/Label.h"
#include "win32/controls/PictureButton.h"
#include "win32/controls/ProgressBar.h"
#include "win32/controls/TimeEdit.h"
#include "win32/controls/TransparentImage.h"
#include "win32/controls/Win32.h"

class TFrmPrincipal : public MainFormView {
public:
    // Creating the window creates the database objects, which load the client library: a
    // missing library throws here, before any window exists.
    explicit TFrmPrincipal(std::string settingsFile = Settings::DefaultFileName(),
                           const Clock* clock = nullptr);
    ~TFrmPrincipal() override;
    TFrmPrincipal(const TFrmPrincipal&) = delete;
    TFrmPrincipal& operator=(const TFrmPrincipal&) = delete;

    HWND Handle() const { return window_; }
    // The message loop: shows the window centred on the screen and runs until the application
    // is told to end. Returns the process's exit status.
    int MessageLoop();

    // MainFormView.
    void SetText(ControlId control, const std::string& text) override;
    void SetPicture(ControlId control, Picture picture) override;
    void SetEnabled(ControlId control, bool enabled) override;
    bool Checked(ControlId control) const override;
    void SetChecked(ControlId control, bool checked) override;
    void Focus(ControlId control) override;
    void RefreshTimeField() override;
    void SetProgressBar(std::uint32_t beginColor, double maximum, double position) override;
    void ProcessMessages() override;
    bool WindowVisible() const override;
    void SetWindowVisible(bool visible) override;
    void CloseWindow() override;
    void QuitApplication() override;
    void RunLater(std::function<void()> action) override;
    void Beep() override;
    void SetTimerActive(TimerId timer, bool active) override;
    void SetTrayIcon(Picture icon, const std::string& tip) override;
    void PopupTrayMenuAtCursor() override;
    void ShowMessageBox(MessageKind kind, const std::string& caption,
                        const std::string& text) override;

    // A control of the window's description.
    HWND Control(ControlId id) const { return handles_.at(id); }

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void BuildControls();
    HWND Build(const ControlDescription& control, HWND parent);
    void Command(int id);
    // Messages the window takes before the controls: a press or Tab that would move the focus
    // out of the time field waits for its checks, and a refusal swallows it; the rest of the
    // dialog keys (Tab between controls). True when the message has been dealt with.
    bool PreTranslate(MSG& message);
    void Dispatch(MSG& message);

    SystemClock systemClock_;
    HWND window_ = nullptr;
    HFONT dialogFont_;
    HFONT buttonFont_;
    HICON mainIcon_;  // MAINICON, title bar and system menu, never changed
    std::unique_ptr<win32::SystemMessageBoxes> messageBoxes_;
    bool scheduleEnabled_ = true;
    bool timeFieldEnabled_ = true;
    HWND focusBeforeDeactivation_ = nullptr;
    std::vector<std::function<void()>> later_;
    MessagePace messagePace_;

    // The controls of the description: their handles, and the objects behind Duplora's own.
    std::map<ControlId, HWND> handles_;
    std::vector<std::unique_ptr<win32::Frame>> frames_;
    std::map<ControlId, std::unique_ptr<win32::Label>> labels_;
    std::map<ControlId, std::unique_ptr<win32::TransparentImage>> images_;
    std::vector<std::unique_ptr<win32::PictureButton>> buttons_;

public:
    // Components, named as the window's description names them.
    std::unique_ptr<win32::TimeEdit> edtHorario;
    win32::Label* lblProgresso = nullptr;
    win32::Label* lblDestino = nullptr;
    std::unique_ptr<win32::ProgressBar> cxProgressBar1;
    HICON ImgIcone1;  // idle, at the sizes the taskbar and the tray show
    HICON ImgIcone1Small;
    HICON ImgIcone2;  // busy
    HICON ImgIcone2Small;
    std::unique_ptr<win32::TrayIcon> Tray;

    MainForm Form;  // what the controls do; DB_Tavix, the settings and the run live there
};

// The one main window.
extern TFrmPrincipal* FrmPrincipal;
