#pragma once
// What the backup run tells the window as it goes, and the one thing it asks: whether a step's
// option box is ticked. The run reports facts (a step began, failed and why, the result); from
// them the window's logic decides everything the window shows of a run (the step pictures, the
// texts, the buttons, the menu, the tray icon and its tip).

#include <string>

#include "common/Steps.h"
#include "engine/ProgressView.h"
#include "engine/RunResult.h"

// Why a step failed: the database's or the system's text (may be empty), and whether the step
// failed because the database could not be connected before its work.
struct StepFailure {
    std::string reason;
    bool noConnection = false;
};

class RunView : public ProgressView {
public:
    // Whether the option box of `step` is ticked; read when the step begins. A step that is not
    // optional (Steps.h) is not asked.
    virtual bool StepWanted(int step) const = 0;
    virtual void RunBegan() = 0;
    // `step` begins (kAllStepsDone: the last one has ended).
    virtual void StepBegan(int step) = 0;
    // `step` failed: the run stops.
    virtual void StepFailed(int step, const StepFailure& failure) = 0;
    // The run has ended as `result` says, and its line is in Duplora.log.
    virtual void RunEnded(const RunResult& result) = 0;
};
