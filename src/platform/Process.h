#pragma once
// The process: running another program to its end, the current folder, the executable's folder.

#include <cstdint>
#include <optional>
#include <string>

namespace platform {

// CreateProcessA (no application name, flags CREATE_NEW_CONSOLE | NORMAL_PRIORITY_CLASS, a
// start-up record carrying `showWindow`), WaitForSingleObject(INFINITE) and GetExitCodeProcess.
// The process's exit code, signed as the command interpreter shows it (exit /b -1 gives -1);
// on POSIX a process ended by a signal gives 128 and the signal's number, as shells show it.
// nullopt when the process could not be started, or its end not learnt.
std::optional<int> RunProcessAndWait(const std::string& commandLine,
                                     const std::string& workingFolder, std::uint16_t showWindow);

// GetComputerNameA; gethostname. Empty when the system does not say.
std::string ComputerName();

// GetCurrentDirectoryA: no trailing separator except at a root.
std::string CurrentDirectory();
// The folder of the running executable, ending with its separator.
std::string ExecutableFolder();

}  // namespace platform
