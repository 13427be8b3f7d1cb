#pragma once
// Where a run's result goes besides the window and Duplora.log: the system's log, a notification
// service. Each channel takes the run's result when the run has ended; adding one touches only the
// channel and the place that lists the channels (MainForm).

#include "engine/ProgressView.h"
#include "engine/RunReport.h"
#include "engine/RunResult.h"

class RunChannel {
public:
    virtual ~RunChannel() = default;
    // Tells of the run that ended as `result` says. Never throws and never changes the run: what
    // could not be told is noted in `report` (Duplora.log) with its reason. A channel that waits
    // keeps `window` answering its messages meanwhile.
    virtual void Tell(const RunResult& result, const RunReport& report, ProgressView& window) = 0;
};
