#pragma once
// How one backup run ended, as one value. The window, Duplora.log and every channel that tells of
// the run elsewhere (the system's log, notifications) take it; none of them reads another's text.

#include <cstdint>
#include <ctime>
#include <string>

struct RunResult {
    enum class Ending : std::uint8_t {
        kComplete,     // every step ran; `failures` says what it could not copy or run
        kInterrupted,  // a step failed (`step`), or an error of no step ended it (`step` 0)
    };

    Ending ending = Ending::kComplete;
    int step = 0;        // the step that failed
    std::string reason;  // why it stopped, in the database's or the system's words; may be empty
    int examined = 0;    // files of the server looked at
    int copied = 0;      // copies put in place
    int waiting = 0;     // new copies left waiting beside the live files of a database folder
    int failures = 0;    // what it could not copy or run, each in Duplora.log
    std::uint64_t copiedBytes = 0;
    std::time_t began = 0;
    std::time_t ended = 0;

    bool Completed() const { return ending == Ending::kComplete; }
    // Complete, and nothing failed.
    bool Succeeded() const { return Completed() && failures == 0; }
};

// How the run ended, as Duplora.log says it: "Backup finalizado", "Backup interrompido no passo
// 2: <reason>", "Backup interrompido: <error>".
std::string EndingText(const RunResult& result);
// The run's line as Duplora.log has it: "2026-12-10 13:05:09 a 13:05:40  Backup finalizado
// (4 arquivos examinados, 4 copiados, 0 falhas, 35,2 MB copiados)", on one line.
std::string RunLine(const RunResult& result);

// "1 falha", "3 falhas".
std::string FailureCountText(int failures);
// "2026-12-10 13:05:09": local time, so that lines sort by time.
std::string LogTime(std::time_t moment);
// One line however many lines `text` has: each break between them becomes "; ".
std::string OneLine(const std::string& text);
