#pragma once
// The logic of TFrmPrincipal, Duplora's one window, without any toolkit: start-up, the backup
// run and what the window shows of it, the daily schedule, leaving the time field, hiding and
// showing, closing, and the notification-area icon's rules. The window (Qt on Linux, Win32 on
// Windows) implements MainFormView with its controls and calls the handlers below from its
// events. Every handler runs inside the default handler: no error leaves it unseen.

#include <ctime>
#include <exception>
#include <optional>
#include <string>

#include "common/Clock.h"
#include "controls/TimeField.h"
#include "database/TavixDatabase.h"
#include "engine/BackupRun.h"
#include "mainform/MainFormView.h"
#include "notify/NotificationChannel.h"
#include "notify/SystemLogChannel.h"
#include "settings/Settings.h"

// What the user did on the notification-area icon, as each window's toolkit reports it: a press
// of the left or the right button, or a double click of the left one (its second press, which
// both the shell and Qt report as a double click instead of a press).
enum class TrayClick { Left, Right, Double };

// The progress bar's colour during a mirror walk, in the toolkit's blue-green-red encoding: navy.
inline constexpr std::uint32_t kProgressNavy = 0x800000;

// The step pictures' states; a step's state is held only by its picture.
enum class StepState { Pending, Processing, Ok, Error };
Picture StepPicture(StepState state);

class MainForm : private RunView {
public:
    // Creates the database objects, which load the client library (`client`, the process's by
    // default): a missing library throws here, and the window cannot be created.
    MainForm(MainFormView& view, const Clock& clock,
             std::string settingsFile = Settings::DefaultFileName(),
             const ClientLibrary& client = ClientLibrary::Process());

    // The window's creation handler, once the window has its controls, its icon and its tray
    // icon: the settings (a file that cannot be read is said over the window once it is up),
    // the schedule, the step pictures, and from Duplora.log when the last run that completed
    // ended, which the tray icon's tip tells.
    void FormCreate();
    // Runs one whole backup (the start button, or the daily timer), and shows how it ended: the
    // step pictures, the closing line "Backup finalizado as " and the date and time (and the
    // failures, " - N falhas") after a complete run, the tray icon and its tip.
    void btnIniciarBackupClick();
    // The tray menu's "Iniciar Backup": a run, as the start button starts it. The item is
    // enabled exactly when the button is.
    void MenuIniciarBackupClick();
    void btnOcultarClick();
    void btnFecharClick();
    // Hides the window when it is visible, shows it in front otherwise.
    void MenuOcultar_RestaurarClick();
    void Fechar1Click();
    // chkDiario's click handler: the time field is enabled and the daily timer on exactly while
    // the box is checked.
    void chkDiarioClick();
    // The daily timer's tick: when the clock's "hh:mm" equals the time field's text and the
    // start button is enabled, starts the run as a click on the button would. A field whose
    // hour tens is empty (" 7:30") counts as the time with a leading zero (07:30). Each tick also
    // notices silence: no run completed for kSilenceLimit (from the start-up when none is known)
    // is said in the tray icon's tip and, once a day, as a warning in the system's log.
    void TmrExecutaDiarioTimer();
    // The focus is about to leave the time field for another control of the window: the
    // field's own check, then its exit handler (edtHorarioExit). False keeps the focus in the
    // field (a message has been shown), and the click or key that was moving it must do nothing.
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

    // A click on the notification-area icon: a left press toggles the window, a right press arms
    // TimerPopup (a second one before its tick changes nothing), a double click is ignored, so a
    // double click toggles the window once.
    void TrayIconClicked(TrayClick click);
    // TimerPopup's tick: the menu, once per right press, at the cursor.
    void TimerPopupTimer();
    // Before every popup: "Ocultar" or "Restaurar", as the window is visible or not.
    void PopupTrayIconPopup();

    // What the backup run shows while it walks, for a window's or a bench's walk alike.
    ProgressView& Progress() { return *this; }
    bool RunInProgress() const { return runInProgress_; }

    TavixDatabase Database;  // DB_Tavix, Trans_Tavix, QryBusca
    Settings Config;         // ServerName, SystemFolder, the schedule as the file holds it
    BackupRun Run;           // TotalMB, CopiedMB
    TimeField edtHorario;    // the time field's model; the window's control shows it

private:
    // With the daily run on, no completed run for this long is silence worth a warning: a day and
    // the slack of a run that started late or ran long.
    static constexpr std::time_t kSilenceLimit = 26 * 3600;

    // What the run shows.
    void ResetStepImages();
    void SetControlsEnabled(bool enabled);
    void SetStep(int step, StepState state);

    // The time field's exit handler, run after the field's own check has passed. An empty field
    // or a time that converts is saved; any other text shows "A hora informada não é válida.",
    // gives the focus back to the field and throws SilentAbort, saving nothing.
    void edtHorarioExit();
    // Writes the schedule as the window holds it.
    void SaveSettings();
    void SetDailyTimerActive(bool active);
    // Shows `error` as the default handler does, once the event being handled has returned.
    void ShowLater(std::exception_ptr error);
    // The tray icon's tip while no run is in progress: how this session's last run ended when it
    // did not complete cleanly; else that no run has completed for too long; else when the last
    // completed run ended.
    std::string IdleTip() const;
    bool Silent(std::time_t now) const;
    // The idle tip shown anew when it changed; the warning of silence once a day.
    void NoticeSilence();

    // RunView: the run's events, and what the window shows of them. A mirror walk's progress:
    // "Copiando: A MB de B MB", the destination line, the bar in navy.
    void MirrorProgress(double copiedMB, double totalMB,
                        const std::string& destinationFile) override;
    void ProcessMessages() override;
    bool StepWanted(int step) const override;
    void RunBegan() override;
    void StepBegan(int step) override;
    void StepFailed(int step, const StepFailure& failure) override;
    void RunEnded(const RunResult& result) override;

    MainFormView& view_;
    const Clock& clock_;
    // The channels every run's result goes to, besides the window and Duplora.log.
    SystemLogChannel systemLog_;
    NotificationChannel notices_{Config.Notice};
    std::optional<RunResult> lastRun_;          // this session's
    std::optional<std::time_t> lastCompleted_;  // when the last run that completed ended
    std::optional<std::time_t> startedAt_;      // FormCreate: silence counts from here at most
    std::string idleTip_;                       // the idle tip last shown
    std::string silenceWarnedOn_;               // the day ("2026-12-10") of the last warning
    // The walk's two texts, rewritten for every entry in buffers that keep their capacity.
    std::string progressText_;
    std::string destinationLine_;
    bool controlsEnabled_ = true;  // btnIniciarBackup and the rest (SetControlsEnabled)
    bool dailyTimerActive_ = false;
    bool popupTimerActive_ = false;
    bool runInProgress_ = false;
    bool closeRequested_ = false;  // closed during a run: the application ends when it returns
};
