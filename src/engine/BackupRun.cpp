#include "BackupRun.h"

#include "Application.h"
#include "DateTime.h"
#include "FolderSize.h"
#include "PathMapping.h"
#include "Platform.h"
#include "SilentAbort.h"
#include "TavixDatabase.h"
#include "U_Funcoes.h"

namespace {
constexpr std::uint16_t kShowNormal = 1;
constexpr const char* kNoSecondConnection = "Não foi possível conectar com o banco de dados";
}  // namespace

BackupRun::BackupRun(BackupView& view, TavixDatabase& database, const Clock& clock)
    : Mirror(view), Report(clock), view_(view), database_(database), clock_(clock) {
    Mirror.Report = &Report;
}

void BackupRun::btnIniciarBackupClick() {
    Report.Begin();
    interruption_ = "Backup interrompido";
    try {
        RunSteps();
    } catch (const SilentAbort&) {
        EndRun(interruption_);
        throw;
    } catch (const std::exception& error) {
        EndRun("Backup interrompido: " + std::string(error.what()));
        throw;
    } catch (...) {
        EndRun(interruption_);
        throw;
    }
    EndRun("Backup finalizado");
}

void BackupRun::EndRun(const std::string& outcome) {
    view_.SetTrayIcon(TrayPicture::Idle);
    SetControlsEnabled(true);
    Report.End(outcome);
}

void BackupRun::RunSteps() {
    view_.SetTrayIcon(TrayPicture::Busy);
    view_.SetTrayTip(kApplicationTitle);
    ResetStepImages();
    SetControlsEnabled(false);

    try {
        SetStepStatus(kStepConnect, false);
        ConnectForStep1();
    } catch (...) {
        SetStepStatus(kStepConnect, true);
    }
    database_.DB_Tavix.SetConnected(false);

    CopySystemFolder();
    CopyDatabase();

    try {
        database_.DB_Tavix.SetConnected(true);
    } catch (...) {
        view_.SetProgressText(kNoSecondConnection);
        interruption_ = std::string("Backup interrompido: ") + kNoSecondConnection;
        throw SilentAbort();
    }
    CopyMusicFolders();
    SetStepStatus(kAllStepsDone, false);
    database_.DB_Tavix.SetConnected(false);

    std::string closingLine = "Backup finalizado as " + FormatGeneralDateTime(clock_.Now());
    if (const int failures = Report.Failures()) {
        closingLine += " - " + FailureCountText(failures);
        view_.SetTrayTip(std::string(kApplicationTitle) + ": " + FailureCountText(failures) +
                         " no último backup");
    }
    view_.SetProgressText(closingLine);
    view_.SetDestinationText("");
}

// A connection left open by an earlier run may have lost its server since: it is asked
// something cheap first, and closed by force when it no longer answers, so that step 1 reaches
// the server for real.
void BackupRun::ConnectForStep1() {
    FbDatabase& connection = database_.DB_Tavix;
    if (connection.Connected()) {
        try {
            connection.CheckConnection();
        } catch (...) {
            connection.ForceClose();
        }
    }
    connection.SetConnected(true);
}

void BackupRun::SetStepStatus(int step, bool failed) {
    if (failed) {
        interruption_ = "Backup interrompido no passo " + std::to_string(step);
        for (int s = kStepMusicFolders; s >= step && s >= kStepConnect; --s)
            view_.SetStepImage(s, StepState::Error);
        SetControlsEnabled(true);
        throw SilentAbort();
    }
    if (step < kStepConnect || step > kAllStepsDone) return;
    if (step > kStepConnect) view_.SetStepImage(step - 1, StepState::Ok);
    if (step < kAllStepsDone) view_.SetStepImage(step, StepState::Processing);
}

void BackupRun::ResetStepImages() {
    for (int step = kStepConnect; step <= kStepMusicFolders; ++step)
        view_.SetStepImage(step, StepState::Pending);
    SetControlsEnabled(true);
}

void BackupRun::SetControlsEnabled(bool enabled) {
    view_.SetStartEnabled(enabled);
    view_.SetStartMenuItemEnabled(view_.StartEnabled());
    view_.SetCloseEnabled(enabled);
    view_.SetScheduleEnabled(enabled);
}

void BackupRun::CopySystemFolder() {
    SetStepStatus(kStepSystemFolder, false);
    if (!view_.OptionChecked(StepOption::CopySystemFolder)) return;
    const std::string destination = MapServerFolder(SystemFolder);
    Mirror.TotalMB = FolderSizeMB(SystemFolder, true, view_);
    Mirror.CopiedMB = 0;
    if (!Mirror.MirrorFolder(SystemFolder, destination, true))
        SetStepStatus(kStepSystemFolder, true);
}

void BackupRun::CopyDatabase() {
    SetStepStatus(kStepDatabase, false);
    if (!view_.OptionChecked(StepOption::CopyDatabase)) return;
    try {
        // At a drive root the current directory ends with "\", and the path then holds two.
        const std::string batchFile = platform::CurrentDirectory() + "\\Duplora.bat";
        if (!RunAndWait(batchFile, "", kShowNormal))
            Report.Failure(batchFile, platform::LastErrorText());
    } catch (...) {
        SetStepStatus(kStepDatabase, true);
    }
}

void BackupRun::CopyMusicFolders() {
    SetStepStatus(kStepMusicFolders, false);
    if (!view_.OptionChecked(StepOption::CopyMusicFolders)) return;
    FbQuery& query = database_.QryBusca;
    try {
        query.Close();
        query.SetSQL("SELECT Pas_Path FROM Tb_Pastas");
        query.Open();
        query.First();
        while (!query.Eof()) {
            const std::string path = query.FieldAsString("Pas_Path");
            const std::string destination = MapMusicFolder(path);
            Mirror.TotalMB = FolderSizeMB(path, false, view_);
            Mirror.CopiedMB = 0;
            if (!Mirror.MirrorFolder(path, destination, false))
                SetStepStatus(kStepMusicFolders, true);
            query.Next();  // the next row is fetched only now, after this folder is done
        }
    } catch (...) {
        SetStepStatus(kStepMusicFolders, true);
    }
}
