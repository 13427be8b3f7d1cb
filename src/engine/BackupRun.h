#pragma once
// The backup run: check the database, mirror the system folder, run Duplora.bat, mirror every
// music folder the database lists. Synchronous; the walkers let the window process its messages.

#include <functional>
#include <optional>
#include <string>

#include "BackupView.h"
#include "Clock.h"
#include "FolderMirror.h"
#include "RunReport.h"

struct TavixDatabase;

class BackupRun {
public:
    // `clock` gives the closing line its date and time.
    BackupRun(BackupView& view, TavixDatabase& database, const Clock& clock);

    // One whole run. Returns after a complete run; throws SilentAbort after a failed step or a
    // failed second connection, and lets any other error through. Either way the idle icon is
    // back, the controls are enabled, the run's line is in the log with the reason it stopped,
    // if it did, and the tray icon's tip names the failed step until the next run. The walk
    // goes on after a file it cannot copy; every such failure is counted, logged, and named in
    // the closing line and the tray icon's tip.
    void btnIniciarBackupClick();

    void SetStepStatus(int step, bool failed);  // with `failed` it throws SilentAbort
    void ResetStepImages();
    void SetControlsEnabled(bool enabled);
    void CopySystemFolder();
    void CopyDatabase();
    void CopyMusicFolders();

    // The server path of the system folder: empty, or ending with "\\" (from the settings).
    std::string SystemFolder;
    FolderMirror Mirror;  // holds TotalMB and CopiedMB, kept between runs
    RunReport Report;     // this run's counts and failures; Report.LogFile is Duplora.log

private:
    // Where a run stopped ("no passo 2"; empty when an error the run lets through stopped it)
    // and why (the database's or the system's text; may be empty).
    struct Interruption {
        std::string where;
        std::string reason;
    };

    void RunSteps();
    void ConnectForStep1();
    // Runs the work of `step`; an error fails the step with its text as the reason.
    void StepWork(int step, const std::function<void()>& work);
    // SetStepStatus(step, true), with the reason the run's line gives.
    [[noreturn]] void FailStep(int step, std::string reason);
    // TotalMB := the source's size, CopiedMB := 0, then the mirror; a walk that broke off fails
    // `step`.
    void MeasureAndMirror(int step, const std::string& source, const std::string& destination,
                          bool recursive);
    void EndRun();

    BackupView& view_;
    TavixDatabase& database_;
    const Clock& clock_;
    std::optional<Interruption> interruption_;  // this run's, when it stopped
};
