#include "engine/RunReport.h"

#include <cstdio>
#include <exception>
#include <string_view>
#include <tuple>

#include "platform/Files.h"

namespace {

// The start of the run's line of a run that completed, after its two times.
constexpr std::string_view kCompletedLine = "  Backup finalizado (";

// The end of the run whose line is `line` ("2026-12-10 23:59:40 a 00:01:02  Backup finalizado
// (..."): the end's time on the start's day, or on the next one when it is earlier.
std::optional<std::time_t> CompletedRunEnd(std::string_view line) {
    constexpr std::size_t kTimes = 30;  // "2026-12-10 23:59:40 a 00:01:02"
    if (line.size() < kTimes || line.substr(kTimes, kCompletedLine.size()) != kCompletedLine)
        return std::nullopt;
    std::tm start{}, end{};
    int consumed = 0;
    if (std::sscanf(std::string(line.substr(0, kTimes)).c_str(),
                    "%4d-%2d-%2d %2d:%2d:%2d a %2d:%2d:%2d%n", &start.tm_year, &start.tm_mon,
                    &start.tm_mday, &start.tm_hour, &start.tm_min, &start.tm_sec, &end.tm_hour,
                    &end.tm_min, &end.tm_sec, &consumed) != 9 ||
        consumed != static_cast<int>(kTimes))
        return std::nullopt;
    end.tm_year = start.tm_year - 1900;
    end.tm_mon = start.tm_mon - 1;
    end.tm_mday = start.tm_mday;
    end.tm_isdst = -1;
    if (std::tie(end.tm_hour, end.tm_min, end.tm_sec) <
        std::tie(start.tm_hour, start.tm_min, start.tm_sec))
        ++end.tm_mday;  // it ended after midnight
    const std::time_t ended = std::mktime(&end);
    return ended == -1 ? std::nullopt : std::optional(ended);
}

// The whole of the file `path`; empty when it cannot be read.
std::string FileText(const std::string& path) {
    const platform::FileHandle file = platform::OpenForReading(path);
    std::uint64_t size = 0;
    std::string text;
    if (file != platform::kInvalidFile && platform::FileSize(file, size)) {
        text.resize(static_cast<std::size_t>(size));
        std::uint32_t read = 0;
        for (std::size_t done = 0; done < text.size(); done += read)
            if (!platform::ReadChunk(file, text.data() + done,
                                     static_cast<std::uint32_t>(text.size() - done), read) ||
                read == 0) {
                text.resize(done);
                break;
            }
    }
    platform::CloseFile(file);
    return text;
}

// The end of the last completed run that the log file `path` tells of.
std::optional<std::time_t> LastCompletedRunIn(const std::string& path) {
    const std::string text = FileText(path);
    std::size_t end = text.size();
    while (end > 0) {
        const std::size_t start = text.rfind('\n', end - 1);
        const std::size_t from = start == std::string::npos ? 0 : start + 1;
        std::string_view line(text.data() + from, end - from);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (const auto ended = CompletedRunEnd(line)) return ended;
        if (start == std::string::npos) break;
        end = start;
    }
    return std::nullopt;
}

}  // namespace

std::string CurrentErrorText() {
    try {
        throw;
    } catch (const std::exception& error) {
        return error.what();
    } catch (...) {
        return "erro desconhecido";
    }
}

void RunReport::Begin() {
    start_ = clock_.Now();
    examined_ = copied_ = failures_ = waiting_ = 0;
    copiedBytes_ = 0;
}

void RunReport::Failure(const std::string& path, const std::string& reason) {
    ++failures_;
    Note("Falha: " + path + ": " + reason);
}

void RunReport::NewCopyWaiting(const std::string& newCopy) {
    ++waiting_;
    Note("Aguardando: " + newCopy + ": o arquivo existente não é substituído");
}

void RunReport::Note(const std::string& text) const { Log(LogTime(clock_.Now()) + "  " + text); }

RunResult RunReport::Result(RunResult::Ending ending, int step, std::string reason) const {
    RunResult result;
    result.ending = ending;
    result.step = step;
    result.reason = std::move(reason);
    result.examined = examined_;
    result.copied = copied_;
    result.waiting = waiting_;
    result.failures = failures_;
    result.copiedBytes = copiedBytes_;
    result.began = start_;
    result.ended = clock_.Now();
    return result;
}

void RunReport::End(const RunResult& result) const { Log(RunLine(result)); }

std::optional<std::time_t> LastCompletedRun(const std::string& logFile) {
    if (logFile.empty()) return std::nullopt;
    if (const auto ended = LastCompletedRunIn(logFile)) return ended;
    return LastCompletedRunIn(logFile + ".1");
}

void RunReport::Log(const std::string& line) const {
    if (LogFile.empty()) return;
    const platform::DirectorySearch existing(LogFile);
    if (existing.Found() && existing.Entry()->size >= kLogLimit) {
        const std::string old = LogFile + ".1";
        platform::RemoveFile(old);
        platform::RenameFile(LogFile, old);
    }
    // CR LF, so that every editor on Windows shows one line per line.
    platform::AppendToFile(LogFile, OneLine(line) + "\r\n");
}
