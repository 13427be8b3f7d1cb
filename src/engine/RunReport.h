#pragma once
// What one backup run did and what it could not do. Every failure (a file not copied, a folder
// not created, a batch file not started, a source folder not found) is counted for the closing
// line and written at once, with its path and the system's reason, to the log "Duplora.log";
// the run's own line (start, end, how it ended, files examined and copied, failures, MB copied)
// follows when it ends. Writing the log never stops a run: a log that cannot be written only
// loses its lines.

#include <cstdint>
#include <ctime>
#include <string>

#include "Clock.h"

class RunReport {
public:
    // The log grows to this size, then becomes LogFile + ".1" (one old file is kept).
    static constexpr std::uint64_t kLogLimit = 1024 * 1024;

    explicit RunReport(const Clock& clock) : clock_(clock) {}

    std::string LogFile;  // the log's path; empty writes none

    // A new run: the counts start from zero.
    void Begin();
    void FileExamined() { ++examined_; }
    void FileCopied(std::uint64_t bytes) {
        ++copied_;
        copiedBytes_ += bytes;
    }
    void Failure(const std::string& path, const std::string& reason);
    // A line of its own, with the time, outside the counts.
    void Note(const std::string& text) const;
    // The run's line, `outcome` telling how it ended ("Backup finalizado", ...).
    void End(const std::string& outcome);

    int Examined() const { return examined_; }
    int Copied() const { return copied_; }
    int Failures() const { return failures_; }

private:
    void Log(const std::string& line) const;

    const Clock& clock_;
    std::time_t start_ = 0;
    int examined_ = 0;
    int copied_ = 0;
    int failures_ = 0;
    std::uint64_t copiedBytes_ = 0;
};

// "1 falha", "3 falhas".
std::string FailureCountText(int failures);
