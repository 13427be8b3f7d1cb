// CreateProcessA + WaitForSingleObject on POSIX. The command line is split by the Windows
// rules; its first word names the file to run, which is started itself, or through /bin/sh
// when it is a script without the execute permission or without a "#!" line (which the system
// refuses to start, and shells then run themselves). There is no console of its own: the
// process reads from /dev/null and writes where Duplora writes.

#include "platform/Process.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

#include "platform/SystemError.h"
#include "platform/posix/HostPath.h"
#include "platform/posix/PosixInternal.h"

extern char** environ;

namespace platform {
namespace {

// CommandLineToArgv's rules: the program's name runs to the next blank, or between double
// quotes taken literally. Then blanks separate words; double quotes group; 2n backslashes
// before a quote give n backslashes, 2n+1 give n and a literal quote; other backslashes stay.
std::vector<std::string> SplitCommandLine(const std::string& line) {
    std::vector<std::string> words;
    std::size_t i = 0;
    if (!line.empty() && line[0] == '"') {
        const std::size_t close = line.find('"', 1);
        words.push_back(line.substr(1, close == std::string::npos ? std::string::npos : close - 1));
        i = close == std::string::npos ? line.size() : close + 1;
    } else {
        i = line.find_first_of(" \t");
        words.push_back(line.substr(0, i));
    }
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
        if (i >= line.size()) break;
        std::string word;
        bool quoted = false;
        for (; i < line.size() && (quoted || (line[i] != ' ' && line[i] != '\t')); ++i) {
            if (line[i] == '\\') {
                std::size_t slashes = 0;
                while (i < line.size() && line[i] == '\\') ++slashes, ++i;
                if (i < line.size() && line[i] == '"') {
                    word.append(slashes / 2, '\\');
                    if (slashes % 2)
                        word += '"';
                    else
                        quoted = !quoted;
                } else {
                    word.append(slashes, '\\');
                    --i;
                }
            } else if (line[i] == '"') {
                quoted = !quoted;
            } else {
                word += line[i];
            }
        }
        words.push_back(word);
    }
    return words;
}

// Starts args[0] with `args`, in `folder` unless it is empty, reading from /dev/null. The
// system's error number when it could not be started (a failed chdir or exec included).
int Spawn(pid_t& pid, std::vector<std::string>& args, const std::string& folder) {
    std::vector<char*> argv;
    for (auto& arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    if (!folder.empty()) posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
    const int error = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    return error;
}

}  // namespace

std::optional<int> RunProcessAndWait(const std::string& commandLine,
                                     const std::string& workingFolder,
                                     std::uint16_t /*showWindow: no window on POSIX*/) {
    std::vector<std::string> args = SplitCommandLine(commandLine);
    if (args.empty()) return std::nullopt;
    const auto program = HostPath(args[0]);
    const auto folder = HostPath(workingFolder);
    if (!program || !folder) {
        SetLastErrorCode(SystemError::kInvalidName);
        return std::nullopt;
    }
    struct stat st {};
    if (stat(program->c_str(), &st) != 0) {
        posix::RememberErrno();
        return std::nullopt;
    }
    if (!S_ISREG(st.st_mode)) {
        SetLastErrorCode(SystemError::kAccessDenied);
        return std::nullopt;
    }
    args[0] = *program;
    if (access(program->c_str(), X_OK) != 0) args.insert(args.begin(), "/bin/sh");

    pid_t pid = 0;
    int error = Spawn(pid, args, *folder);
    if (error == ENOEXEC && args[0] != "/bin/sh") {
        args.insert(args.begin(), "/bin/sh");
        error = Spawn(pid, args, *folder);
    }
    if (error != 0) {
        errno = error;
        posix::RememberErrno();
        return std::nullopt;
    }
    // posix_spawn reports a failed chdir or exec itself; from here on the process has started.
    int status = 0;
    pid_t ended;
    while ((ended = waitpid(pid, &status, 0)) < 0 && errno == EINTR) {
    }
    if (ended < 0) {
        posix::RememberErrno();
        return std::nullopt;
    }
    return WIFSIGNALED(status) ? 128 + WTERMSIG(status) : WEXITSTATUS(status);
}

std::string ComputerName() {
    char name[256] = {};
    return gethostname(name, sizeof name - 1) == 0 ? std::string(name) : std::string();
}

std::string CurrentDirectory() {
    char buffer[4096];
    return getcwd(buffer, sizeof buffer) ? std::string(buffer) : std::string();
}

std::string ExecutableFolder() {
    char buffer[4096];
    const ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (n <= 0) return std::string();
    std::string path(buffer, static_cast<std::size_t>(n));
    return path.substr(0, path.rfind('/') + 1);
}

}  // namespace platform
