#pragma once
// TFrmPrincipal on Windows, Duplora's one window, made of Win32 controls: the daily schedule,
// the four steps with their pictures, the progress lines and bar, the three buttons and the
// tray icon. It is only its controls: what they do is the window logic's (MainForm), which it
// presents as MainFormView. Every control has its design place, size, text and tab order.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "Frame.h"
#include "Label.h"
#include "MainForm.h"
#include "MessageBoxes.h"
#include "PictureButton.h"
#include "ProgressBar.h"
#include "TimeEdit.h"
#include "TransparentImage.h"
#include "TrayIcon.h"
#include "Win32.h"

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

    // BackupView.
    void SetProgressText(const std::string& text) override;
    void SetDestinationText(const std::string& text) override;
    void SetProgressBar(std::uint32_t beginColor, double maximum, double position) override;
    void ProcessMessages() override;
    void SetStepImage(int step, StepState state) override;
    bool OptionChecked(StepOption option) const override;
    void SetStartEnabled(bool enabled) override;
    bool StartEnabled() const override;
    void SetStartMenuItemEnabled(bool enabled) override;
    void SetCloseEnabled(bool enabled) override;
    void SetScheduleEnabled(bool enabled) override;
    void SetTrayIcon(TrayPicture picture) override;
    void SetTrayTip(const std::string& text) override;

    // SettingsView.
    bool DailyChecked() const override;
    void SetDailyChecked(bool checked) override;
    std::string TimeText() const override;
    void SetTimeText(const std::string& text) override;
    void SetTimeFieldEnabled(bool enabled) override;
    void FocusTimeField() override;
    void SetDailyTimerEnabled(bool enabled) override;
    bool StartButtonEnabled() const override;
    void StartBackup() override;
    void ShowInformation(const std::string& text) override;

    // MainFormView.
    void ShowMessageBox(MessageKind kind, const std::string& caption,
                        const std::string& text) override;
    void SetMainIcon() override;
    bool WindowVisible() const override;
    void HideWindow() override;
    void ShowWindowInFront() override;
    void CloseWindow() override;
    void QuitApplication() override;
    void RunLater(std::function<void()> action) override;
    void Beep() override;
    bool CheckTimeFieldOnExit() override;
    void InstallTrayIcon() override;
    bool PopupTimerActive() const override;
    void SetPopupTimerActive(bool active) override;
    void SetMenuOcultarRestaurar(const std::string& caption, TrayMenuPicture picture) override;
    void PopupTrayMenuAtCursor() override;

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void BuildControls();
    void Command(int id);
    // Messages the window takes before the controls: a press or Tab that would move the focus
    // out of the time field waits for its checks, and a refusal swallows it; the rest of the
    // dialog keys (Tab between controls). True when the message has been dealt with.
    bool PreTranslate(MSG& message);
    void Dispatch(MSG& message);
    win32::TransparentImage& StepImage(int step);

    SystemClock systemClock_;
    HWND window_ = nullptr;
    HFONT dialogFont_;
    HFONT buttonFont_;
    HICON mainIcon_;  // MAINICON, title bar and system menu, never changed
    std::unique_ptr<win32::SystemMessageBoxes> messageBoxes_;
    bool scheduleEnabled_ = true;
    bool timeFieldEnabled_ = true;
    bool dailyTimerActive_ = false;
    bool popupTimerActive_ = false;
    HWND focusBeforeDeactivation_ = nullptr;
    std::vector<std::function<void()>> later_;

public:
    // Components, named as the window's design names them.
    std::unique_ptr<win32::Frame> grpAgendamento;
    HWND chkDiario = nullptr;
    std::unique_ptr<win32::TimeEdit> edtHorario;
    std::unique_ptr<win32::Label> Label1;
    std::unique_ptr<win32::Frame> pnlOpcoes;
    std::unique_ptr<win32::TransparentImage> imgConectarBanco;
    std::unique_ptr<win32::TransparentImage> imgCopiarPastaTavix;
    std::unique_ptr<win32::TransparentImage> imgCopiarBanco;
    std::unique_ptr<win32::TransparentImage> imgCopiarMusicas;
    HWND chkConectarBanco = nullptr;
    std::unique_ptr<win32::Label> Label2;
    HWND chkCopiarPastaTavix = nullptr;
    HWND chkCopiarBancoDados = nullptr;
    HWND chkCopiarMusicas = nullptr;
    std::unique_ptr<win32::Label> lblProgresso;
    std::unique_ptr<win32::Label> lblDestino;
    std::unique_ptr<win32::ProgressBar> cxProgressBar1;
    std::unique_ptr<win32::PictureButton> btnIniciarBackup;
    std::unique_ptr<win32::PictureButton> btnOcultar;
    std::unique_ptr<win32::PictureButton> btnFechar;
    std::unique_ptr<win32::TransparentImage> imgPendende;
    std::unique_ptr<win32::TransparentImage> imgOk;
    std::unique_ptr<win32::TransparentImage> imgErro;
    std::unique_ptr<win32::TransparentImage> imgProcessando;
    HICON ImgIcone1;  // idle, at the sizes the taskbar and the tray show
    HICON ImgIcone1Small;
    HICON ImgIcone2;  // busy
    HICON ImgIcone2Small;
    std::unique_ptr<win32::TrayIcon> Tray;

    MainForm Form;  // what the controls do; DB_Tavix, the settings and the run live there
};

// The one main window.
extern TFrmPrincipal* FrmPrincipal;
