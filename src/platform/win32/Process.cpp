// CreateProcessA + WaitForSingleObject, the current directory and the executable's folder.

#include "platform/Process.h"

#include <vector>

#include "platform/SystemError.h"
#include "platform/win32/Win32Internal.h"

namespace platform {

std::optional<int> RunProcessAndWait(const std::string& commandLine,
                                     const std::string& workingFolder, std::uint16_t showWindow) {
    // The start-up record is zero except for its size and the show state it carries.
    STARTUPINFOA startup;
    ZeroMemory(&startup, sizeof startup);
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = showWindow;

    // CreateProcessA may write into the command line, so it gets a copy of its own.
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back('\0');

    PROCESS_INFORMATION process;
    ZeroMemory(&process, sizeof process);
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE,
                        CREATE_NEW_CONSOLE | NORMAL_PRIORITY_CLASS, nullptr,
                        workingFolder.empty() ? nullptr : workingFolder.c_str(), &startup,
                        &process))
        return std::nullopt;
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD exitCode = 0;
    const bool ended = GetExitCodeProcess(process.hProcess, &exitCode);
    {
        const LastErrorKept reason;
        CloseHandle(process.hProcess);
        CloseHandle(process.hThread);
    }
    if (!ended) return std::nullopt;
    // Signed, as cmd shows %ERRORLEVEL%.
    return static_cast<int>(exitCode);
}

std::string ComputerName() {
    char name[MAX_COMPUTERNAME_LENGTH + 1] = {};
    DWORD length = sizeof name;
    return GetComputerNameA(name, &length) ? std::string(name, length) : std::string();
}

std::string CurrentDirectory() {
    const DWORD needed = GetCurrentDirectoryA(0, nullptr);
    if (needed == 0) return std::string();
    std::string folder(needed, '\0');
    const DWORD length = GetCurrentDirectoryA(needed, folder.data());
    folder.resize(length < needed ? length : 0);
    return folder;
}

std::string ExecutableFolder() {
    std::string path(MAX_PATH, '\0');
    for (;;) {
        const DWORD length =
            GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) return std::string();
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2);  // the name was cut short
    }
    return path.substr(0, path.find_last_of("\\/") + 1);
}

}  // namespace platform
