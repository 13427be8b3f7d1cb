#pragma once
// Tells the system's log of every run (the Application event log on Windows, syslog on Linux),
// where monitoring tools read: the run's line as Duplora.log has it, as information after a run
// that completed without failures, a warning after one that counted failures, an error after one
// that was interrupted, each with an event number of its own (platform/SystemLog.h). And, once a
// day, the warning that the daily run is on but no run has completed for too long.

#include <string>

#include "engine/RunChannel.h"
#include "platform/SystemLog.h"

class SystemLogChannel final : public RunChannel {
public:
    void Tell(const RunResult& result, const RunReport& report, ProgressView& window) override;
    // The warning `text` that no run has completed for too long.
    void WarnNoRecentCompleteBackup(const std::string& text, const RunReport& report);

private:
    void Write(platform::SystemLogEvent event, const std::string& text, const RunReport& report);
    std::string unwrittenBecause_;  // the reason last noted, until an entry is written again
};
