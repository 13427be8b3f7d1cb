#include "MainForm.h"

#include "SettingsError.h"
#include "TimeField.h"

namespace {

// "Duplora.log" beside the settings file.
std::string LogFileBeside(const std::string& settingsFile) {
    const std::size_t separator = settingsFile.find_last_of("\\/");
    return settingsFile.substr(0, separator == std::string::npos ? 0 : separator + 1) +
           "Duplora.log";
}

}  // namespace

MainForm::MainForm(MainFormView& view, const Clock& clock, std::string settingsFile)
    : Config(view, clock, std::move(settingsFile)), Run(view, Database, clock), view_(view) {
    Run.Report.LogFile = LogFileBeside(Config.FileName());
}

void MainForm::FormCreate() {
    Guarded(view_, [this] {
        view_.SetMainIcon();
        view_.InstallTrayIcon();
        view_.SetTrayIcon(TrayPicture::Idle);
        try {
            Config.LoadSettings();
        } catch (const SettingsReadError&) {
            // Said over the window once it is up; it starts as without a settings file.
            ShowLater(std::current_exception());
        }
        if (Config.DatabasePath) Database.DB_Tavix.SetDatabaseName(*Config.DatabasePath);
        Run.SystemFolder = Config.SystemFolder;
        Run.ResetStepImages();
    });
}

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
        Run.btnIniciarBackupClick();
    });
}

void MainForm::MenuIniciarBackupClick() {
    // A menu that was opened before a run began may still be up when the run has disabled it.
    if (view_.StartEnabled()) btnIniciarBackupClick();
}

void MainForm::btnOcultarClick() { MenuOcultar_RestaurarClick(); }

void MainForm::btnFecharClick() { view_.CloseWindow(); }

void MainForm::MenuOcultar_RestaurarClick() {
    Guarded(view_, [this] {
        if (view_.WindowVisible())
            view_.HideWindow();
        else
            view_.ShowWindowInFront();
    });
}

void MainForm::Fechar1Click() { btnFecharClick(); }

void MainForm::chkDiarioClick() {
    Guarded(view_, [this] { Config.chkDiarioClick(); });
}

void MainForm::TmrExecutaDiarioTimer() {
    Guarded(view_, [this] { Config.TmrExecutaDiarioTimer(); });
}

bool MainForm::TimeFieldMayLoseFocus() {
    if (!view_.CheckTimeFieldOnExit()) {
        view_.Beep();
        ShowError(view_, kInvalidInputText);
        return false;
    }
    if (Guarded(view_, [this] { Config.edtHorarioExit(); })) return true;
    view_.FocusTimeField();
    return false;
}

bool MainForm::FormClose() {
    try {
        Config.FormClose();
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
        Config.FormClose();
    } catch (const std::exception& error) {
        Run.Report.Note(std::string("Fim da sessão: ") + error.what());
    }
    if (runInProgress_)
        closeRequested_ = true;
    else
        view_.QuitApplication();
}

void MainForm::WMTrayIcon(int mouseMessage) {
    if (mouseMessage == kTrayLeftButtonDown)
        MenuOcultar_RestaurarClick();
    else if (mouseMessage == kTrayRightButtonDown && !view_.PopupTimerActive())
        view_.SetPopupTimerActive(true);  // a second press within the 200 ms changes nothing
}

void MainForm::TimerPopupTimer() {
    Guarded(view_, [this] {
        view_.SetPopupTimerActive(false);
        PopupTrayIconPopup();
        view_.PopupTrayMenuAtCursor();
    });
}

void MainForm::PopupTrayIconPopup() {
    if (view_.WindowVisible())
        view_.SetMenuOcultarRestaurar("Ocultar", kTrayPictureOcultar);
    else
        view_.SetMenuOcultarRestaurar("Restaurar", kTrayPictureRestaurar);
}
