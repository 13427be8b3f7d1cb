#pragma once
// The backup run: the steps of Steps.inc (check the database, mirror the system folder, run
// Duplora.bat, mirror every music folder the database lists). Synchronous; the walkers let the
// window process its messages.

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "common/Clock.h"
#include "engine/FolderMirror.h"
#include "engine/RunChannel.h"
#include "engine/RunReport.h"
#include "engine/RunView.h"

// Why a step that needs the database failed when it could not be connected, before the
// database's own text.
inline constexpr const char* kNoConnectionText = "Não foi possível conectar com o banco de dados";

struct TavixDatabase;

class BackupRun {
public:
    // `clock` gives the closing line its date and time.
    BackupRun(RunView& view, TavixDatabase& database, const Clock& clock);

    // One whole run: the steps of Steps.inc in their order, told to `view` as it goes. Returns
    // after a complete run; throws SilentAbort after a failed step, and lets any other error
    // through. Either way the run has ended: its result is in the log, with the reason it stopped,
    // if it did, then told to every channel, then to the window (RunView::RunEnded). The walk
    // goes on after a file it cannot copy; every such failure is counted and logged.
    void Run();

    // The steps' work (Steps.inc). Each reports a failure of its step by throwing: an error
    // fails the step with its text as the reason.
    void CheckDatabase();
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
    // Connects for `step`, which needs the database; a connection that cannot be made fails it.
    void ConnectFor(int step);
    void Disconnect();
    // Runs the work of `step`; an error fails the step with its text as the reason.
    void StepWork(int step, const std::function<void()>& work);
    // `step` failed, which the run's line gives with the reason: the run stops (SilentAbort).
    [[noreturn]] void FailStep(int step, StepFailure failure);
    // Mirror.MeasureAndMirror; a walk that broke off fails the step at work.
    void MeasureAndMirror(const std::string& source, const std::string& destination,
                          bool recursive);
    void EndRun();

    RunView& view_;
    TavixDatabase& database_;
    const Clock& clock_;
    std::optional<Interruption> interruption_;  // this run's, when it stopped
};
