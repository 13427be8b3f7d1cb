#include "Desktop.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <stdexcept>
#include <thread>

namespace fs = std::filesystem;

bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (true) {
        if (condition()) return true;
        if (std::chrono::steady_clock::now() >= end) return false;
        std::this_thread::sleep_for(50ms);
    }
}

std::string Quoted(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

std::string Capture(const std::string& command, int* status) {
    FILE* pipe = popen((command + " 2>/dev/null").c_str(), "r");
    if (!pipe) throw std::runtime_error("cannot run " + command);
    std::string output;
    std::array<char, 4096> buffer;
    while (size_t n = fread(buffer.data(), 1, buffer.size(), pipe)) output.append(buffer.data(), n);
    const int result = pclose(pipe);
    if (status) *status = WIFEXITED(result) ? WEXITSTATUS(result) : -1;
    return output;
}

ChildProcess::ChildProcess(const std::vector<std::string>& argv,
                           const std::map<std::string, std::string>& env,
                           const fs::path& workingFolder, const fs::path& log) {
    pid_ = fork();
    if (pid_ < 0) throw std::runtime_error("fork failed");
    if (pid_ == 0) {
        setpgid(0, 0);  // its own group: stopping it stops what it started too
        // Killed with the test, should the test itself be killed (a CTest time-out).
        prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (getppid() == 1) _exit(125);
        if (chdir(workingFolder.c_str()) != 0) _exit(126);
        for (const auto& [name, value] : env) setenv(name.c_str(), value.c_str(), 1);
        const int in = open("/dev/null", O_RDONLY);
        const int out = open(log.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
        dup2(in, 0);
        dup2(out, 1);
        dup2(out, 2);
        std::vector<char*> args;
        for (const auto& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
        args.push_back(nullptr);
        execvp(args[0], args.data());
        _exit(127);
    }
    setpgid(pid_, pid_);
}

ChildProcess::~ChildProcess() { Stop(); }

bool ChildProcess::Running() {
    if (status_) return false;
    int status = 0;
    if (waitpid(pid_, &status, WNOHANG) == pid_) {
        status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        return false;
    }
    return true;
}

std::optional<int> ChildProcess::WaitForExit(std::chrono::milliseconds timeout) {
    WaitUntil([this] { return !Running(); }, timeout);
    return status_;
}

void ChildProcess::Stop() {
    if (!Running()) return;
    kill(-pid_, SIGTERM);
    if (!WaitForExit(5s)) {
        kill(-pid_, SIGKILL);
        WaitForExit(5s);
    }
}

VirtualDisplay::VirtualDisplay(const fs::path& logFolder) {
    // Xvfb picks a free display number itself and writes it to the pipe (-displayfd).
    int fds[2];
    if (pipe(fds) != 0) throw std::runtime_error("pipe failed");
    fcntl(fds[0], F_SETFD, FD_CLOEXEC);
    server_.emplace(std::vector<std::string>{"Xvfb", "-displayfd", std::to_string(fds[1]),
                                             "-screen", "0", "1024x768x24", "-nolisten", "tcp"},
                    std::map<std::string, std::string>{}, logFolder, logFolder / "Xvfb.log");
    close(fds[1]);
    std::string number;
    char c;
    while (read(fds[0], &c, 1) == 1 && c != '\n') number += c;
    close(fds[0]);
    if (number.empty()) throw std::runtime_error("Xvfb did not start (see Xvfb.log)");
    name_ = ":" + number;
    setenv("DISPLAY", name_.c_str(), 1);
}

VirtualDisplay::~VirtualDisplay() {
    server_.reset();
    unsetenv("DISPLAY");
}

namespace {

int Field(const std::string& text, const std::string& label) {
    const size_t at = text.find(label);
    return at == std::string::npos ? 0 : std::atoi(text.c_str() + at + label.size());
}

}  // namespace

std::optional<WindowInfo> Window(unsigned long id) {
    int status = 0;
    const std::string hex = std::to_string(id);
    const std::string info = Capture("xwininfo -id " + hex, &status);
    if (status != 0) return std::nullopt;
    const std::string tree = Capture("xwininfo -children -id " + hex);
    WindowInfo window;
    window.id = id;
    window.x = Field(info, "Absolute upper-left X:");
    window.y = Field(info, "Absolute upper-left Y:");
    window.width = Field(info, "Width:");
    window.height = Field(info, "Height:");
    window.viewable = info.find("Map State: IsViewable") != std::string::npos;
    const size_t parent = tree.find("Parent window id:");
    window.topLevel =
        parent != std::string::npos &&
        tree.substr(parent, tree.find('\n', parent) - parent).find("(the root window)") !=
            std::string::npos;
    const std::string type = Capture("xprop -id " + hex + " _NET_WM_WINDOW_TYPE");
    if (const size_t equals = type.find(" = "); equals != std::string::npos)
        window.type = type.substr(equals + 3, type.find('\n', equals) - equals - 3);
    return window;
}

namespace {

std::vector<WindowInfo> Search(const std::string& arguments) {
    std::vector<WindowInfo> windows;
    std::istringstream ids(Capture("xdotool search " + arguments));
    for (unsigned long id; ids >> id;)
        if (auto window = Window(id)) windows.push_back(*window);
    return windows;
}

}  // namespace

std::vector<WindowInfo> WindowsNamed(const std::string& name) {
    return Search("--name " + Quoted("^" + name + "$"));
}

std::vector<WindowInfo> WindowsOfClass(const std::string& windowClass) {
    return Search("--class " + Quoted("^" + windowClass + "$"));
}

void ClickAt(int x, int y, int button) {
    Capture("xdotool mousemove " + std::to_string(x) + " " + std::to_string(y) + " click " +
            std::to_string(button));
}

UserClicks::UserClicks(std::chrono::milliseconds doubleClickTime)
    : doubleClickTime_(doubleClickTime) {}

void UserClicks::AfterTheLast() {
    // The toolkit compares the presses' times, which the X server stamps and Wine turns into its
    // own milliseconds: a little more than the double-click time keeps them apart after rounding.
    constexpr auto kRounding = 20ms;
    if (last_) std::this_thread::sleep_until(*last_ + doubleClickTime_ + kRounding);
}

void UserClicks::Click(int x, int y, int button) {
    AfterTheLast();
    ClickAt(x, y, button);
    last_ = std::chrono::steady_clock::now();
}

void UserClicks::DoubleClick(int x, int y) {
    AfterTheLast();
    Capture("xdotool mousemove " + std::to_string(x) + " " + std::to_string(y) +
            " click --repeat 2 --delay " + std::to_string((doubleClickTime_ / 4).count()) + " 1");
    last_ = std::chrono::steady_clock::now();
}

TrayHost::TrayHost(const fs::path& logFolder)
    : process_({"trayer", "--edge", "top", "--align", "right", "--widthtype", "request", "--height",
                "24"},
               {}, logFolder, logFolder / "trayer.log") {
    const bool up = WaitUntil(
        [] {
            for (const WindowInfo& window : WindowsNamed("panel"))
                if (window.topLevel && window.viewable) return true;
            return false;
        },
        20s);
    if (!up) throw std::runtime_error("trayer did not start (see trayer.log)");
}

std::optional<WindowInfo> TrayHost::WaitForIcon(const std::string& windowClass,
                                                std::chrono::milliseconds timeout) const {
    std::optional<WindowInfo> icon;
    WaitUntil(
        [&] {
            for (const WindowInfo& window : WindowsOfClass(windowClass))
                if (!window.topLevel && window.viewable && window.width > 1) icon = window;
            return icon.has_value();
        },
        timeout);
    return icon;
}

WindowManager::WindowManager(const fs::path& logFolder)
    : process_({"openbox"}, {}, logFolder, logFolder / "openbox.log") {
    int status = 1;
    if (!WaitUntil([&] { return Capture("wmctrl -m", &status), status == 0; }, 20s))
        throw std::runtime_error("openbox did not start (see openbox.log)");
}

namespace {

// The window ids of a property that lists windows, e.g. "... window id # 0x400006, 0x400024".
std::vector<unsigned long> WindowIds(const std::string& property) {
    std::vector<unsigned long> ids;
    const size_t hash = property.find('#');
    if (hash == std::string::npos) return ids;
    std::istringstream list(property.substr(hash + 1));
    for (std::string id; list >> id;) ids.push_back(std::stoul(id, nullptr, 16));
    return ids;
}

}  // namespace

std::vector<unsigned long> WindowManager::WindowsOf(pid_t pid) {
    std::vector<unsigned long> windows;
    for (unsigned long id : WindowIds(Capture("xprop -root _NET_CLIENT_LIST_STACKING"))) {
        const std::string owner = Capture("xprop -id " + std::to_string(id) + " _NET_WM_PID");
        if (owner.find(" = " + std::to_string(pid) + "\n") != std::string::npos)
            windows.push_back(id);
    }
    return windows;
}

unsigned long WindowManager::OwnerOf(unsigned long id) {
    const std::vector<unsigned long> owner =
        WindowIds(Capture("xprop -id " + std::to_string(id) + " WM_TRANSIENT_FOR"));
    return owner.empty() ? 0 : owner.front();
}

void WindowManager::Close(unsigned long id) { Capture("wmctrl -i -c " + std::to_string(id)); }
