#pragma once
// TFrmPrincipal, Duplora's one window: the daily schedule, the four steps with their pictures,
// the progress lines and bar, and the three buttons. It presents the toolkit-free parts: it is
// the view of the backup run and of the settings, and it owns the database objects.

#include <QCheckBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QTimer>
#include <QWidget>

#include "AnimatedProgressBar.h"
#include "MaskedTimeEdit.h"
#include "PictureButton.h"
#include "TransparentImage.h"
#include "database/TavixDatabase.h"
#include "engine/BackupRun.h"
#include "settings/Clock.h"
#include "settings/Settings.h"
#include "tray/TrayIcon.h"

class TFrmPrincipal : public QWidget, public BackupView, public SettingsView {
    Q_OBJECT
public:
    // Creating the window creates the database objects, which load the client library: a
    // missing library throws here. `settingsFile` and `clock` are for tests.
    explicit TFrmPrincipal(std::string settingsFile = Settings::DefaultFileName(),
                           const Clock* clock = nullptr);
    ~TFrmPrincipal() override;

    // Handlers.
    void FormCreate();
    void btnIniciarBackupClick();
    void btnOcultarClick();
    void btnFecharClick();
    void MenuOcultar_RestaurarClick();
    bool RunInProgress() const { return runInProgress_; }

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

    // SettingsView.
    void SetDatabasePath(const std::string& path) override;
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
    QLabel* lblProgresso;
    QLabel* lblDestino;
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

public:
    TavixDatabase Database;  // DB_Tavix, Trans_Tavix, QryBusca
    Settings Config;         // ServerName, SystemFolder, the schedule
    BackupRun Run;           // TotalMB, CopiedMB

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildControls();
    // Whether the focus may leave the time field: runs the field's own check and then its exit
    // handler, as the focus moves to another control of the window.
    bool TimeFieldMayLoseFocus();
    TransparentImage* StepImage(int step) const;

    bool runInProgress_ = false;
    bool closeRequested_ = false;  // closed during a run: the process ends when it returns
};

// The one main window.
extern TFrmPrincipal* FrmPrincipal;
