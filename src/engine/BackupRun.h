#pragma once
// The backup run: check the database, mirror the system folder, run Duplora.bat, mirror every
// music folder the database lists. Synchronous; the walkers let the window process its messages.

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
    // back, the controls are enabled and the run's line is in the log when it ends. The walk
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
    void RunSteps();
    void ConnectForStep1();
    void EndRun(const std::string& outcome);

    BackupView& view_;
    TavixDatabase& database_;
    const Clock& clock_;
    std::string interruption_;  // how the run ended when SilentAbort ended it
};
