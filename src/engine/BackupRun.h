#pragma once
// The backup run: check the database, mirror the system folder, run Duplora.bat, mirror every
// music folder the database lists. Synchronous; the walkers let the window process its messages.

#include <ctime>
#include <functional>
#include <string>

#include "BackupView.h"
#include "FolderMirror.h"

struct TavixDatabase;

class BackupRun {
public:
    // `systemFolder` is the server path of the system folder, ending with "\\" (the setting).
    BackupRun(BackupView& view, TavixDatabase& database, const std::string& systemFolder);

    // One whole run. Returns after a complete run; throws SilentAbort after a failed step or a
    // failed second connection, and lets any other error through. Either way the idle icon is
    // back and the controls are enabled when it ends.
    void btnIniciarBackupClick();

    void SetStepStatus(int step, bool failed);  // with `failed` it throws SilentAbort
    void ResetStepImages();
    void SetControlsEnabled(bool enabled);
    void CopySystemFolder();
    void CopyDatabase();
    void CopyMusicFolders();

    FolderMirror Mirror;  // holds TotalMB and CopiedMB, kept between runs
    std::function<std::time_t()> Now = [] { return std::time(nullptr); };

private:
    void RunSteps();

    BackupView& view_;
    TavixDatabase& database_;
    const std::string& systemFolder_;
};
