#pragma once
// What one backup run did and what it could not do. Every failure (a file not copied or copied
// without its permissions or attributes, a folder not created, not found or whose walk broke
// off, a batch file not started or ending with an error code) is counted for the closing line and
// written at once, with its path and the reason, to the log "Duplora.log"; so is every new copy
// left waiting in a database folder. The run's own line (start, end, how it ended and why, files
// examined and copied, failures, MB copied) follows when it ends. Every line is one line: the
// line breaks of a reason (the database's texts have them) become "; ". Writing the log never
// stops a run: a log that cannot be written only loses its lines.

#include <cstdint>
#include <ctime>
#include <optional>
#include <string>

#include "common/Clock.h"
#include "engine/RunResult.h"

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
    // A new copy left beside the live file of a database folder, which it does not replace: named
    // in the log, not counted as copied.
    void NewCopyWaiting(const std::string& newCopy);
    // A line of its own, with the time, outside the counts.
    void Note(const std::string& text) const;
    // This run's result, ended now as `ending` says, with the counts so far.
    RunResult Result(RunResult::Ending ending, int step, std::string reason) const;
    // The run's line (RunLine).
    void End(const RunResult& result) const;

    int Examined() const { return examined_; }
    int Copied() const { return copied_; }
    int Failures() const { return failures_; }
    int Waiting() const { return waiting_; }

private:
    void Log(const std::string& line) const;

    const Clock& clock_;
    std::time_t start_ = 0;
    int examined_ = 0;
    int copied_ = 0;
    int failures_ = 0;
    int waiting_ = 0;
    std::uint64_t copiedBytes_ = 0;
};

// When the last run that completed, as `logFile` or its older file tells it, ended; nothing when
// neither tells of one.
std::optional<std::time_t> LastCompletedRun(const std::string& logFile);

// The text of the exception being handled, for the log.
std::string CurrentErrorText();
