#pragma once
// What the backup run tells the window as it goes, and the one thing it asks: whether a step's
// option box is ticked. From these the window's logic decides everything the window shows of a
// run (the step pictures, the buttons, the menu, the tray icon and its tip).

#include <string>

#include "ProgressView.h"
#include "RunResult.h"

// Steps 1 to 4; kAllStepsDone is the end of the last step of a complete run.
enum StepNumber : int {
    kStepConnect = 1,
    kStepSystemFolder = 2,
    kStepDatabase = 3,
    kStepMusicFolders = 4,
    kAllStepsDone = 5,
};

class RunView : public ProgressView {
public:
    // Whether the option box of `step` (2 to 4) is ticked; read when the step begins.
    virtual bool StepWanted(int step) const = 0;
    virtual void RunBegan() = 0;
    // `step` begins (kAllStepsDone: the last one has ended).
    virtual void StepBegan(int step) = 0;
    // `step` failed for `reason` (the database's or the system's text; may be empty): the run
    // stops.
    virtual void StepFailed(int step, const std::string& reason) = 0;
    // The run has ended as `result` says, and its line is in Duplora.log.
    virtual void RunEnded(const RunResult& result) = 0;
};
