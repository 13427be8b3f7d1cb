#include "engine/RunResult.h"

#include <cstdio>

#include "common/Clock.h"

namespace {

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

}  // namespace

std::string FailureCountText(int failures) { return Counted(failures, "falha", "falhas"); }

std::string LogTime(std::time_t moment) {
    const std::tm local = ToLocalTime(moment);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
    return text;
}

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

std::string EndingText(const RunResult& result) {
    if (result.Completed()) return "Backup finalizado";
    std::string text = "Backup interrompido";
    if (result.step > 0) text += " no passo " + std::to_string(result.step);
    if (!result.reason.empty()) text += ": " + result.reason;
    return text;
}

std::string RunLine(const RunResult& result) {
    const RunResult& r = result;
    return OneLine(LogTime(r.began) + " a " + LogTime(r.ended).substr(11) + "  " + EndingText(r) +
                   " (" + Counted(r.examined, "arquivo examinado", "arquivos examinados") + ", " +
                   Counted(r.copied, "copiado", "copiados") + ", " +
                   (r.waiting ? Counted(r.waiting, "aguardando", "aguardando") + ", " : "") +
                   FailureCountText(r.failures) + ", " + Megabytes(r.copiedBytes) +
                   " MB copiados)");
}
