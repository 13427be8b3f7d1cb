#pragma once
// What an end-to-end test needs to act like a user at a Linux desktop: its own X server (Xvfb),
// programs started on it as child processes, windows found and clicked with xdotool, screenshots
// taken with ImageMagick and read with duplora_screen_probe. Everything started here is stopped
// by its owner's destructor, so a failing test leaves nothing running.

#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

using namespace std::chrono_literals;

// Waits until `condition` holds, checking every 50 ms; false when `timeout` passes first.
bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout);

// Runs a shell command and returns its standard output; `status` gets its exit status.
std::string Capture(const std::string& command, int* status = nullptr);
std::string Quoted(const std::string& text);  // for the shell

// A child process with its own environment additions and working folder.
class ChildProcess {
public:
    ChildProcess(const std::vector<std::string>& argv,
                 const std::map<std::string, std::string>& env,
                 const std::filesystem::path& workingFolder, const std::filesystem::path& log);
    ~ChildProcess();  // SIGTERM, then SIGKILL when it does not end
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    pid_t Pid() const { return pid_; }
    bool Running();
    // Waits for the process to end by itself; its exit status, or nullopt on timeout.
    std::optional<int> WaitForExit(std::chrono::milliseconds timeout);
    void Stop();

private:
    pid_t pid_ = -1;
    std::optional<int> status_;
};

// An X server of its own on a free display number, set as DISPLAY for this process and every
// program it starts.
class VirtualDisplay {
public:
    explicit VirtualDisplay(const std::filesystem::path& logFolder);
    ~VirtualDisplay();
    const std::string& Name() const { return name_; }

private:
    std::optional<ChildProcess> server_;
    std::string name_;
};

struct WindowInfo {
    unsigned long id = 0;
    int x = 0, y = 0;  // upper-left corner on the screen
    int width = 0, height = 0;
    bool viewable = false;
    bool topLevel = false;  // a child of the root window
    std::string type;       // its _NET_WM_WINDOW_TYPE list, e.g. "_NET_WM_WINDOW_TYPE_TOOLTIP, ..."
    bool Tooltip() const { return type.find("_NET_WM_WINDOW_TYPE_TOOLTIP") != std::string::npos; }
};

// The windows of the display whose name is exactly `name`, or whose class is `windowClass`.
std::vector<WindowInfo> WindowsNamed(const std::string& name);
std::vector<WindowInfo> WindowsOfClass(const std::string& windowClass);
std::optional<WindowInfo> Window(unsigned long id);

// Left (1) or right (3) click at a point of the screen.
void ClickAt(int x, int y, int button = 1);

// Clicks a user makes one after another on one spot (the notification-area icon): each a click of
// its own, or a double click when asked. `doubleClickTime` is the time within which the program's
// toolkit joins two presses into a double click, as the program reads it; a click comes once that
// time has passed since the press before, at once when it has already.
class UserClicks {
public:
    explicit UserClicks(std::chrono::milliseconds doubleClickTime);
    void Click(int x, int y, int button = 1);
    // Two left presses a quarter of the double-click time apart.
    void DoubleClick(int x, int y);

private:
    void AfterTheLast();
    std::chrono::milliseconds doubleClickTime_;
    std::optional<std::chrono::steady_clock::time_point> last_;  // the last press was before it
};

// trayer, a notification area at the top right of the display, up once this is constructed: a
// program adds its icon once, so the area must be there before the program starts. Throws when
// it does not come up.
class TrayHost {
public:
    explicit TrayHost(const std::filesystem::path& logFolder);
    // The icon docked in the area by a window of `windowClass`, once there is one.
    std::optional<WindowInfo> WaitForIcon(const std::string& windowClass,
                                          std::chrono::milliseconds timeout) const;

private:
    ChildProcess process_;
};

// openbox, a window manager, up once this is constructed: it frames the top-level windows, lets
// them be closed from their close box, and stacks each window that belongs to another over it.
// Throws when it does not come up.
class WindowManager {
public:
    explicit WindowManager(const std::filesystem::path& logFolder);

    // The windows it manages for the process `pid`, bottom to top.
    static std::vector<unsigned long> WindowsOf(pid_t pid);
    // The window `id` belongs to (its WM_TRANSIENT_FOR), or 0.
    static unsigned long OwnerOf(unsigned long id);
    // Closes `id` as its close box does.
    static void Close(unsigned long id);

private:
    ChildProcess process_;
};
