#pragma once
// TFrmPrincipal on Qt, Duplora's one window: the daily schedule, the four steps with their
// pictures, the progress lines and bar, the three buttons and the tray icon. It is only its
// controls: what they do is the window logic's (MainForm), which it presents as MainFormView.

#include <QCheckBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QTimer>
#include <QWidget>

#include "AnimatedProgressBar.h"
#include "AppErrors.h"
#include "MainForm.h"
#include "MaskedTimeEdit.h"
#include "PictureButton.h"
#include "ThrottledLabel.h"
#include "TransparentImage.h"
#include "TrayIcon.h"

class TFrmPrincipal : public QWidget, public MainFormView {
    Q_OBJECT
public:
    // Creating the window creates the database objects, which load the client library: a
    // missing library throws here. `settingsFile` and `clock` are for tests.
    explicit TFrmPrincipal(std::string settingsFile = Settings::DefaultFileName(),
                           const Clock* clock = nullptr);
    ~TFrmPrincipal() override;

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

    // Components, named as the window's design names them.
    QGroupBox* grpAgendamento;
    QCheckBox* chkDiario;
    MaskedTimeEdit* edtHorario;
    QLabel* Label1;
    QFrame* pnlOpcoes;
    TransparentImage* imgConectarBanco;
    TransparentImage* imgCopiarPastaTavix;
    TransparentImage* imgCopiarBanco;
    TransparentImage* imgCopiarMusicas;
    QCheckBox* chkConectarBanco;
    QLabel* Label2;
    QCheckBox* chkCopiarPastaTavix;
    QCheckBox* chkCopiarBancoDados;
    QCheckBox* chkCopiarMusicas;
    ThrottledLabel* lblProgresso;
    ThrottledLabel* lblDestino;
    AnimatedProgressBar* cxProgressBar1;
    PictureButton* btnIniciarBackup;
    PictureButton* btnOcultar;
    PictureButton* btnFechar;
    TransparentImage* imgPendende;
    TransparentImage* imgOk;
    TransparentImage* imgErro;
    TransparentImage* imgProcessando;
    QIcon ImgIcone1;  // idle
    QIcon ImgIcone2;  // busy
    QTimer TmrExecutaDiario;
    TrayIcon Tray;

private:
    SystemClock systemClock_;
    app::QtMessageBoxes messageBoxes_;

public:
    MainForm Form;  // what the controls do; DB_Tavix, the settings and the run live there

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildControls();
    void ConnectControls();
    TransparentImage* StepImage(int step) const;
};

// The one main window.
extern TFrmPrincipal* FrmPrincipal;
