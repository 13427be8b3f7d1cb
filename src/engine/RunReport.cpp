#include "RunReport.h"

#include <cstdio>
#include <exception>

#include "Files.h"

namespace {

// "2026-12-10 13:05:09", local time: lines that sort by time.
std::string LogTime(std::time_t moment) {
    const std::tm local = ToLocalTime(moment);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
    return text;
}

// "35,2": one decimal, the Portuguese decimal comma.
std::string Megabytes(std::uint64_t bytes) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", static_cast<double>(bytes) / 1024 / 1024);
    std::string result = text;
    for (char& c : result)
        if (c == '.') c = ',';
    return result;
}

std::string Counted(int count, const char* one, const char* many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

// One line of the log, however many lines `text` has: each break between them becomes "; ".
std::string OneLine(const std::string& text) {
    std::string line;
    bool broken = false;
    for (const char c : text) {
        if (c == '\r' || c == '\n') {
            broken = true;
            continue;
        }
        if (broken && !line.empty()) line += "; ";
        broken = false;
        line += c;
    }
    return line;
}

}  // namespace

std::string FailureCountText(int failures) { return Counted(failures, "falha", "falhas"); }

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

void RunReport::End(const std::string& outcome) {
    Log(LogTime(start_) + " a " + LogTime(clock_.Now()).substr(11) + "  " + outcome + " (" +
        Counted(examined_, "arquivo examinado", "arquivos examinados") + ", " +
        Counted(copied_, "copiado", "copiados") + ", " +
        (waiting_ ? Counted(waiting_, "aguardando", "aguardando") + ", " : "") +
        FailureCountText(failures_) + ", " + Megabytes(copiedBytes_) + " MB copiados)");
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
