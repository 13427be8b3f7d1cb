#pragma once
// The backup run: check the database, mirror the system folder, run Duplora.bat, mirror every
// music folder the database lists. Synchronous; the walkers let the window process its messages.

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "Clock.h"
#include "FolderMirror.h"
#include "RunChannel.h"
#include "RunReport.h"
#include "RunView.h"

struct TavixDatabase;

class BackupRun {
public:
    // `clock` gives the closing line its date and time.
    BackupRun(RunView& view, TavixDatabase& database, const Clock& clock);

    // One whole run, told to `view` as it goes. Returns after a complete run; throws
    // SilentAbort after a failed step, and lets any other error through. Either way the run has
    // ended: its result is in the log, with the reason it stopped, if it did, then told to every
    // channel, then to the window (RunView::RunEnded). The walk goes on after a file it cannot
    // copy; every such failure is counted, logged, and named in the closing line.
    void btnIniciarBackupClick();

    // Steps 2 to 4.
    void CopySystemFolder();
    void CopyDatabase();
    void CopyMusicFolders();

    // The server path of the system folder: empty, or ending with "\\" (from the settings).
    std::string SystemFolder;
    FolderMirror Mirror;  // holds TotalMB and CopiedMB, kept between runs
    RunReport Report;     // this run's counts and failures; Report.LogFile is Duplora.log
    std::vector<RunChannel*> Channels;  // told of every run's result, in this order

private:
    // Where a run stopped (the step; 0 when an error the run lets through stopped it) and why
    // (the database's or the system's text; may be empty).
    struct Interruption {
        int step = 0;
        std::string reason;
    };

    void RunSteps();
    void ConnectForStep1();
    void Disconnect();
    // Runs the work of `step`; an error fails the step with its text as the reason.
    void StepWork(int step, const std::function<void()>& work);
    // `step` failed for `reason`, which the run's line gives: the run stops (SilentAbort).
    [[noreturn]] void FailStep(int step, std::string reason);
    // Mirror.MeasureAndMirror; a walk that broke off fails `step`.
    void MeasureAndMirror(int step, const std::string& source, const std::string& destination,
                          bool recursive);
    void EndRun();

    RunView& view_;
    TavixDatabase& database_;
    const Clock& clock_;
    std::optional<Interruption> interruption_;  // this run's, when it stopped
};
