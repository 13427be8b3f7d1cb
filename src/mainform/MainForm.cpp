#include "mainform/MainForm.h"

#include "common/SilentAbort.h"
#include "controls/TimeText.h"
#include "engine/DateTime.h"
#include "engine/RunReport.h"
#include "mainform/ProgressTexts.h"
#include "settings/SettingsError.h"

namespace {

constexpr const char* kInvalidTimeText = "A hora informada não é válida.";

// "Duplora.log" beside the settings file.
std::string LogFileBeside(const std::string& settingsFile) {
    const std::size_t separator = settingsFile.find_last_of("\\/");
    return settingsFile.substr(0, separator == std::string::npos ? 0 : separator + 1) +
           "Duplora.log";
}

}  // namespace

Picture StepPicture(StepState state) {
    switch (state) {
        case StepState::Pending:
            return Picture::StepPending;
        case StepState::Processing:
            return Picture::StepProcessing;
        case StepState::Ok:
            return Picture::StepOk;
        case StepState::Error:
            break;
    }
    return Picture::StepError;
}

MainForm::MainForm(MainFormView& view, const Clock& clock, std::string settingsFile,
                   const ClientLibrary& client)
    : Database(client),
      Config(std::move(settingsFile)),
      Run(*this, Database, clock),
      view_(view),
      clock_(clock) {
    Run.Report.LogFile = LogFileBeside(Config.FileName());
    Run.Channels = {&systemLog_, &notices_};
}

// Start-up

void MainForm::FormCreate() {
    Guarded(view_, [this] {
        idleTip_ = kApplicationTitle;
        view_.SetTrayIcon(Picture::IconIdle, idleTip_);
        bool loaded = false;
        try {
            loaded = Config.LoadSettings();
        } catch (const SettingsReadError&) {
            // Said over the window once it is up; it starts as without a settings file.
            ShowLater(std::current_exception());
        }
        if (loaded) {
            if (Config.DatabasePath) Database.DB_Tavix.SetDatabaseName(*Config.DatabasePath);
            Run.SystemFolder = Config.SystemFolder;
            if (Config.Daily != view_.Checked(ControlId::chkDiario)) {
                view_.SetChecked(ControlId::chkDiario, Config.Daily);
                chkDiarioClick();  // as every change of the box does
            }
            edtHorario.SetText(Config.Time);
            view_.RefreshTimeField();
            chkDiarioClick();
        }
        ResetStepImages();
        startedAt_ = clock_.Now();
        lastCompleted_ = LastCompletedRun(Run.Report.LogFile);
        NoticeSilence();
    });
}

// The backup run

void MainForm::btnIniciarBackupClick() {
    // However the run ends, a close asked for during it now ends the application.
    struct RunEnds {
        MainForm& form;
        ~RunEnds() {
            form.runInProgress_ = false;
            if (form.closeRequested_) form.view_.QuitApplication();
        }
    };
    Guarded(view_, [this] {
        runInProgress_ = true;
        const RunEnds runEnds{*this};
        Run.Run();
    });
}

void MainForm::MenuIniciarBackupClick() {
    // A menu that was opened before a run began may still be up when the run has disabled it.
    if (controlsEnabled_) btnIniciarBackupClick();
}

void MainForm::SetStep(int step, StepState state) {
    view_.SetPicture(StepImage(step), StepPicture(state));
}

void MainForm::ResetStepImages() {
    for (int step = 1; step <= kStepCount; ++step) SetStep(step, StepState::Pending);
    SetControlsEnabled(true);
}

// The start button, its menu item, "Fechar" and the schedule group: disabled for a run.
void MainForm::SetControlsEnabled(bool enabled) {
    controlsEnabled_ = enabled;
    for (const ControlId control : {ControlId::btnIniciarBackup, ControlId::MenuIniciarBackup,
                                    ControlId::btnFechar, ControlId::grpAgendamento})
        view_.SetEnabled(control, enabled);
}

void MainForm::MirrorProgress(double copiedMB, double totalMB, const std::string& destinationFile) {
    FormatProgressText(progressText_, copiedMB, totalMB);
    view_.SetText(ControlId::lblProgresso, progressText_);
    view_.SetProgressBar(kProgressNavy, totalMB, copiedMB);
    FormatDestinationLine(destinationLine_, destinationFile);
    view_.SetText(ControlId::lblDestino, destinationLine_);
}

void MainForm::ProcessMessages() { view_.ProcessMessages(); }

bool MainForm::StepWanted(int step) const { return view_.Checked(StepBox(step)); }

void MainForm::RunBegan() {
    view_.SetTrayIcon(Picture::IconBusy, kApplicationTitle);
    ResetStepImages();
    SetControlsEnabled(false);
}

// Step n begins: the step before it is done; kAllStepsDone ends the last.
void MainForm::StepBegan(int step) {
    if (step < 1 || step > kAllStepsDone) return;
    if (step > 1) SetStep(step - 1, StepState::Ok);
    if (step < kAllStepsDone) SetStep(step, StepState::Processing);
}

// A failed step turns it and every step after it to Error; one that could not connect says so in
// the progress line.
void MainForm::StepFailed(int step, const StepFailure& failure) {
    if (failure.noConnection) view_.SetText(ControlId::lblProgresso, kNoConnectionText);
    for (int s = kStepCount; s >= step && s >= 1; --s) SetStep(s, StepState::Error);
    SetControlsEnabled(true);
}

// The idle icon comes back, with a tip that names what went wrong until the next run.
void MainForm::RunEnded(const RunResult& result) {
    if (result.Completed()) {
        std::string closingLine = "Backup finalizado as " + FormatGeneralDateTime(result.ended);
        if (result.failures) closingLine += " - " + FailureCountText(result.failures);
        view_.SetText(ControlId::lblProgresso, closingLine);
        view_.SetText(ControlId::lblDestino, "");
    }
    lastRun_ = result;
    if (result.Completed()) lastCompleted_ = result.ended;
    idleTip_ = IdleTip();
    view_.SetTrayIcon(Picture::IconIdle, idleTip_);
    SetControlsEnabled(true);
}

std::string MainForm::IdleTip() const {
    const std::string title = kApplicationTitle;
    if (lastRun_ && !lastRun_->Completed())
        return title + ": backup interrompido" +
               (lastRun_->step ? " no passo " + std::to_string(lastRun_->step) : "");
    if (lastRun_ && lastRun_->failures)
        return title + ": " + FailureCountText(lastRun_->failures) + " no último backup";
    // "dd/mm hh:mm": the tip holds 63 characters on Windows.
    const auto dayAndTime = [](std::time_t moment) {
        const std::tm local = ToLocalTime(moment);
        char text[16];
        std::strftime(text, sizeof text, "%d/%m %H:%M", &local);
        return std::string(text);
    };
    if (Silent(clock_.Now()))
        return title + (lastCompleted_
                            ? ": sem backup completo desde " + dayAndTime(*lastCompleted_)
                            : ": nenhum backup completo há 26 h");
    if (lastCompleted_) return title + ": último backup completo em " + dayAndTime(*lastCompleted_);
    return title;
}

bool MainForm::Silent(std::time_t now) const {
    return view_.Checked(ControlId::chkDiario) &&
           now - lastCompleted_.value_or(startedAt_.value_or(now)) > kSilenceLimit;
}

void MainForm::NoticeSilence() {
    if (runInProgress_) return;
    if (const std::string tip = IdleTip(); tip != idleTip_) {
        idleTip_ = tip;
        view_.SetTrayIcon(Picture::IconIdle, idleTip_);
    }
    const std::time_t now = clock_.Now();
    const std::string today = LogTime(now).substr(0, 10);
    if (!Silent(now) || silenceWarnedOn_ == today) return;
    silenceWarnedOn_ = today;
    const std::string warning =
        "O backup diário está ligado, mas nenhum backup foi completado desde " +
        (lastCompleted_ ? LogTime(*lastCompleted_) : "a inicialização, " + LogTime(*startedAt_));
    Run.Report.Note(warning);
    systemLog_.WarnNoRecentCompleteBackup(warning, Run.Report);
}

// The daily schedule

void MainForm::chkDiarioClick() {
    Guarded(view_, [this] {
        const bool checked = view_.Checked(ControlId::chkDiario);
        view_.SetEnabled(ControlId::edtHorario, checked);
        SetDailyTimerActive(checked);
        if (startedAt_) NoticeSilence();
    });
}

// Switching the timer on while it is on changes nothing: the running period goes on.
void MainForm::SetDailyTimerActive(bool active) {
    if (active == dailyTimerActive_) return;
    dailyTimerActive_ = active;
    view_.SetTimerActive(TimerId::TmrExecutaDiario, active);
}

void MainForm::TmrExecutaDiarioTimer() {
    Guarded(view_, [this] {
        NoticeSilence();
        if (AsClockText(edtHorario.Text()) == ClockText(LocalTimeOfDay(clock_.Now())) &&
            controlsEnabled_)
            btnIniciarBackupClick();
    });
}

bool MainForm::TimeFieldMayLoseFocus() {
    const bool passed = edtHorario.CheckOnExit();
    view_.RefreshTimeField();
    if (!passed) {
        view_.Beep();
        ShowError(view_, kInvalidInputText);
        return false;
    }
    if (Guarded(view_, [this] { edtHorarioExit(); })) return true;
    view_.Focus(ControlId::edtHorario);
    return false;
}

void MainForm::edtHorarioExit() {
    if (!IsScheduleText(edtHorario.Text())) {
        ShowInformation(view_, kInvalidTimeText);
        view_.Focus(ControlId::edtHorario);
        throw SilentAbort();
    }
    SaveSettings();
}

void MainForm::SaveSettings() {
    Config.Daily = view_.Checked(ControlId::chkDiario);
    Config.Time = edtHorario.Text();
    Config.SaveSettings();
}

// Hiding, showing, closing

void MainForm::btnOcultarClick() { MenuOcultar_RestaurarClick(); }

void MainForm::btnFecharClick() { view_.CloseWindow(); }

void MainForm::MenuOcultar_RestaurarClick() {
    Guarded(view_, [this] { view_.SetWindowVisible(!view_.WindowVisible()); });
}

void MainForm::Fechar1Click() { btnFecharClick(); }

bool MainForm::FormClose() {
    try {
        SaveSettings();
    } catch (...) {
        // Shown once the close event has returned, so that no toolkit swallows it while the
        // window is closing; the window stays open.
        ShowLater(std::current_exception());
        return false;
    }
    if (runInProgress_) {
        closeRequested_ = true;
        return false;
    }
    view_.QuitApplication();
    return true;
}

void MainForm::ShowLater(std::exception_ptr error) {
    view_.RunLater([this, error] { ShowException(view_, error); });
}

void MainForm::EndSession() {
    try {
        SaveSettings();
    } catch (const std::exception& error) {
        Run.Report.Note(std::string("Fim da sessão: ") + error.what());
    }
    if (runInProgress_)
        closeRequested_ = true;
    else
        view_.QuitApplication();
}

// The notification-area icon

void MainForm::TrayIconClicked(TrayClick click) {
    switch (click) {
        case TrayClick::Left:
            MenuOcultar_RestaurarClick();
            break;
        case TrayClick::Right:
            if (popupTimerActive_) break;  // a second press within the 200 ms changes nothing
            popupTimerActive_ = true;
            view_.SetTimerActive(TimerId::TimerPopup, true);
            break;
        case TrayClick::Double:
            break;  // its first press has toggled the window already
    }
}

void MainForm::TimerPopupTimer() {
    Guarded(view_, [this] {
        popupTimerActive_ = false;
        view_.SetTimerActive(TimerId::TimerPopup, false);
        PopupTrayIconPopup();
        view_.PopupTrayMenuAtCursor();
    });
}

void MainForm::PopupTrayIconPopup() {
    const bool visible = view_.WindowVisible();
    view_.SetText(ControlId::MenuOcultar_Restaurar, visible ? "Ocultar" : "Restaurar");
    view_.SetPicture(ControlId::MenuOcultar_Restaurar,
                     visible ? Picture::TrayOcultar : Picture::TrayRestaurar);
}
