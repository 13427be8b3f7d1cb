#include "notify/SystemLogChannel.h"

#include "platform/SystemError.h"
#include "platform/SystemLog.h"

// A log that cannot be written changes nothing else. Duplora.log says so, once for each reason
// (a machine without a log daemon would say it on every run).
void SystemLogChannel::Write(platform::SystemLogEvent event, const std::string& text,
                             const RunReport& report) {
    if (platform::WriteSystemLog(event, text)) {
        unwrittenBecause_.clear();
        return;
    }
    const std::string reason = platform::LastErrorText();
    if (reason == unwrittenBecause_) return;
    unwrittenBecause_ = reason;
    report.Note("Registro do sistema não escrito: " + reason);
}

void SystemLogChannel::Tell(const RunResult& result, const RunReport& report, ProgressView&) {
    using enum platform::SystemLogEvent;
    Write(result.Succeeded()   ? kRunComplete
          : result.Completed() ? kRunCompleteWithFailures
                               : kRunInterrupted,
          RunLine(result), report);
}

void SystemLogChannel::WarnNoRecentCompleteBackup(const std::string& text,
                                                  const RunReport& report) {
    Write(platform::SystemLogEvent::kNoRecentCompleteBackup, text, report);
}
