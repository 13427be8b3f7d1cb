// The Application event log on Windows, under Wine here: the message table that Event Viewer
// reads from Duplora.exe, and the calls WriteSystemLog makes as Wine records them.
//
// Wine's event log functions succeed without keeping anything; with WINEDEBUG=+eventlog Wine
// prints each call's arguments and each event's text on the process's standard error. A Windows
// program cannot read that back, so CTest puts this test's standard error in a file
// (DUPLORA_TEST_STDERR), which the writer started here shares.

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "SystemLogCases.h"
#include "platform/SystemError.h"
#include "support/Wine.h"

namespace {

std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

// A path of the build machine as a Windows program under Wine opens it: Z: is the root.
std::string WindowsPath(std::string path) {
    if (path.empty() || path[0] != '/') return path;
    std::replace(path.begin(), path.end(), '/', '\\');
    return "Z:" + path;
}

std::string Folder(const std::string& path) { return path.substr(0, path.find_last_of('\\') + 1); }

std::string OwnFolder() {
    char path[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    return Folder(std::string(path, length));
}

// A text as Wine prints a wide string (debugstr_w): L"...", with \\, \", \n, \r, \t and \xxxx
// (four hex digits) for every other character outside printable ASCII.
std::wstring WineString(const std::string& printed) {
    std::wstring text;
    if (printed.size() < 3 || printed.compare(0, 2, "L\"") != 0 || printed.back() != '"')
        return L"(not a Wine string: " + std::wstring(printed.begin(), printed.end()) + L")";
    for (std::size_t i = 2; i + 1 < printed.size(); ++i) {
        if (printed[i] != '\\') {
            text += static_cast<wchar_t>(static_cast<unsigned char>(printed[i]));
            continue;
        }
        const char next = printed[++i];
        switch (next) {
            case 'n':
                text += L'\n';
                break;
            case 'r':
                text += L'\r';
                break;
            case 't':
                text += L'\t';
                break;
            case '\\':
            case '"':
                text += static_cast<wchar_t>(next);
                break;
            default:
                text += static_cast<wchar_t>(std::stoul(printed.substr(i, 4), nullptr, 16));
                i += 3;
        }
    }
    return text;
}

// One ReportEventA call as Wine's stub prints it, with the texts its event log channel printed
// after it, each with the class it was printed at (err, warn, trace).
struct ReportedEvent {
    unsigned type = 0, category = 0, id = 0, stringCount = 0, dataSize = 0;
    bool noUser = false, noData = false;
    std::vector<std::pair<std::string, std::wstring>> texts;
};

struct WineRecord {
    std::vector<std::string> sources;  // RegisterEventSourceA's source names
    std::vector<ReportedEvent> events;
};

WineRecord ReadWineRecord(const std::string& output) {
    static const std::regex source(
        R"re(fixme:advapi:RegisterEventSourceA \(\(null\),"([^"]*)"\))re");
    static const std::regex report(
        R"(fixme:advapi:ReportEventA \(\w+,0x([0-9a-f]{4}),0x([0-9a-f]{4}),0x([0-9a-f]{8}),)"
        R"((\w+),0x([0-9a-f]{4}),0x([0-9a-f]{8}),\w+,(\w+)\))");
    static const std::regex text(R"re((err|warn|trace):eventlog:ReportEventW (L".*)$)re");
    static const std::regex zero("0+");
    WineRecord record;
    std::istringstream lines(output);
    std::smatch found;
    for (std::string line; std::getline(lines, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (std::regex_search(line, found, source)) {
            record.sources.push_back(found[1]);
        } else if (std::regex_search(line, found, report)) {
            ReportedEvent event;
            event.type = std::stoul(found[1], nullptr, 16);
            event.category = std::stoul(found[2], nullptr, 16);
            event.id = std::stoul(found[3], nullptr, 16);
            event.noUser = std::regex_match(found[4].str(), zero);
            event.stringCount = std::stoul(found[5], nullptr, 16);
            event.dataSize = std::stoul(found[6], nullptr, 16);
            event.noData = std::regex_match(found[7].str(), zero);
            record.events.push_back(event);
        } else if (std::regex_search(line, found, text) && !record.events.empty()) {
            record.events.back().texts.emplace_back(found[1], WineString(found[2]));
        }
    }
    return record;
}

std::string ReadFrom(const std::string& path, std::streamoff offset) {
    std::ifstream in(path, std::ios::binary);
    in.seekg(offset);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::streamoff FileSize(const std::string& path) {
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    return in ? static_cast<std::streamoff>(in.tellg()) : 0;
}

// Runs `program` to its end with WINEDEBUG=+eventlog; its exit code, or -1.
long RunWithEventLogTrace(const std::string& program) {
    char previous[256] = "";
    const bool hadPrevious = GetEnvironmentVariableA("WINEDEBUG", previous, sizeof previous) > 0;
    SetEnvironmentVariableA("WINEDEBUG", "+eventlog");
    std::string commandLine = "\"" + program + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    const BOOL started = CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0,
                                        nullptr, nullptr, &startup, &process);
    SetEnvironmentVariableA("WINEDEBUG", hadPrevious ? previous : nullptr);
    if (!started) return -1;
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD exitCode = 0;
    GetExitCodeProcess(process.hProcess, &exitCode);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return static_cast<long>(exitCode);
}

}  // namespace

// Event Viewer shows an event by formatting the message of its ID, from the source's message file
// (Duplora.exe, as the installer registers it), with the event's strings. Every event's number
// finds a message there that gives back the event's text whole, and exactly: "%" sequences in it
// stay as they are, and nothing is added around it.
TEST(EventMessageTableTest, DuploraExeShowsEachEventsTextWhole) {
    const std::string exe = WindowsPath(Environment("DUPLORA_EXE"));
    ASSERT_FALSE(exe.empty()) << "DUPLORA_EXE names Duplora.exe (ctest sets it)";
    const HMODULE module = LoadLibraryExA(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(module, nullptr) << exe << ": " << platform::LastErrorText();

    const auto format = [module](DWORD id, const char* text, std::string& result) {
        DWORD_PTR arguments[] = {reinterpret_cast<DWORD_PTR>(text)};
        char buffer[1024];
        const DWORD length =
            FormatMessageA(FORMAT_MESSAGE_FROM_HMODULE | FORMAT_MESSAGE_ARGUMENT_ARRAY, module, id,
                           0, buffer, sizeof buffer, reinterpret_cast<va_list*>(arguments));
        result = length ? std::string(buffer, length) : platform::LastErrorText();
        return length != 0;
    };
    std::string shown;
    for (const SystemLogCase& entry : kSystemLogCases) {
        const DWORD id = static_cast<DWORD>(entry.event);
        EXPECT_TRUE(format(id, entry.text, shown)) << "event " << id << ": " << shown;
        EXPECT_EQ(shown, entry.text) << "event " << id;
    }
    // Only Duplora's events: the numbers around them have no message.
    for (const DWORD id : {0u, 5u, 0x40000001u})
        EXPECT_FALSE(format(id, "x", shown)) << "event " << id << " has a message: " << shown;
    FreeLibrary(module);
}

// Each event goes to ReportEventA from source "Duplora", with its number as the event ID, its
// level as the type (Wine prints an error's text as an error, a warning's as a warning, an
// information's as a trace), no category, user or data, and the text as its one string, which
// Wine read from the ANSI code page as Windows shows it. Nothing is registered in the test's Wine
// prefix: the entries are written without the installer's registration.
TEST(WineEventLogTest, EachEventReachesReportEventWithItsIdLevelAndText) {
    if (!RunningUnderWine()) GTEST_SKIP() << "reads what Wine records; on Windows see Event Viewer";
    const std::string ownStderr = WindowsPath(Environment("DUPLORA_TEST_STDERR"));
    ASSERT_FALSE(ownStderr.empty()) << "DUPLORA_TEST_STDERR names this test's standard error "
                                       "(ctest sets it)";
    const std::streamoff before = FileSize(ownStderr);

    const std::string writer = OwnFolder() + "duplora_system_log_writer.exe";
    ASSERT_EQ(RunWithEventLogTrace(writer), 0) << writer << ": " << platform::LastErrorText();
    const std::string output = ReadFrom(ownStderr, before);
    const WineRecord record = ReadWineRecord(output);

    struct Level {
        unsigned type;
        const char* printedAs;
    };
    const Level levels[] = {{EVENTLOG_INFORMATION_TYPE, "trace"},
                            {EVENTLOG_WARNING_TYPE, "warn"},
                            {EVENTLOG_ERROR_TYPE, "err"},
                            {EVENTLOG_WARNING_TYPE, "warn"}};
    constexpr std::size_t count = std::size(kSystemLogCases);
    EXPECT_EQ(record.sources, std::vector<std::string>(count, "Duplora")) << output;
    ASSERT_EQ(record.events.size(), count) << output;
    for (std::size_t i = 0; i < count; ++i) {
        const ReportedEvent& event = record.events[i];
        SCOPED_TRACE("event " + std::to_string(i + 1));
        EXPECT_EQ(event.id, static_cast<unsigned>(kSystemLogCases[i].event));
        EXPECT_EQ(event.type, levels[i].type);
        EXPECT_EQ(event.category, 0u);
        EXPECT_TRUE(event.noUser);
        EXPECT_EQ(event.stringCount, 1u);
        EXPECT_EQ(event.dataSize, 0u);
        EXPECT_TRUE(event.noData);
        ASSERT_EQ(event.texts.size(), 1u) << output;
        EXPECT_EQ(event.texts[0].first, levels[i].printedAs);
        EXPECT_TRUE(event.texts[0].second == kSystemLogCases[i].shown)
            << "Wine recorded: " << output;
    }
}
