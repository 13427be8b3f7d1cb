// Duplora.exe end to end: the real Windows program of the build's word size under Wine on its own
// Xvfb, in a Wine prefix whose drives and UNC shares hold a world of real folders, the playout
// database on the tests' Firebird server through the test-only gds32.dll bridge, and a user's
// clicks with xdotool. The window is read from outside by duplora_window_probe.exe, run in the
// same prefix (step pictures by the bitmap each step image holds, texts, check boxes, message
// boxes).
//
// A Linux program run by the Windows build's CTest. Its environment:
//   DUPLORA_WINE, WINESERVER  the Wine loader that runs the cross-built programs, and its server
//   WINEARCH               the prefixes' word size, the programs'
//   DUPLORA_EXE            Duplora.exe;  DUPLORA_WINDOW_PROBE  duplora_window_probe.exe
//   DUPLORA_GDS32          the bridge's gds32.dll, put beside Duplora.exe (WINEDLLPATH passes
//                          on to Wine)
//   DUPLORA_PACKAGE        the release zip of the same word size (Duplora-<version>-win64.zip)
//   DUPLORA_MSI            the release Windows Installer package of the same word size, with
//                          DUPLORA_MSI_FILES the folder of the files it holds, its version
//                          DUPLORA_MSI_VERSION and its DUPLORA_MSI_UPGRADE_CODE
//   DUPLORA_OLDER_MSI      a package of a lower version, DUPLORA_OLDER_MSI_VERSION (this build's)
//   DUPLORA_INSTALL_PROBE  duplora_install_probe.exe
//   DUPLORA_FIREBIRD       the tests' Firebird server, "127.0.0.1/<port>"
//   DUPLORA_SCREENSHOT     optional: where the whole backup's case saves a picture of the window
//                          after its run (the README's picture of the Windows program)
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <utility>

#include "e2e/Desktop.h"
#include "support/FirebirdTestDatabase.h"
#include "support/HttpTestServer.h"
#include "support/TestFolder.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kTitle = "Duplora - Tavix Zadododa";

std::string Env(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

// Controls of the main window, in its client area: the centre of each.
struct Point {
    int x, y;
};
constexpr Point kStart{7 + 61, 223 + 21};         // btnIniciarBackup
constexpr Point kOcultar{132 + 61, 223 + 21};     // btnOcultar
constexpr Point kFechar{256 + 61, 223 + 21};      // btnFechar
constexpr Point kDiario{8 + 72 + 7, 8 + 18 + 8};  // inside chkDiario

// What duplora_window_probe.exe reads: "name=value" lines, and the message boxes.
struct WindowState {
    std::map<std::string, std::string> values;
    std::vector<std::string> boxes;
    std::string text;
    bool Found() const { return Value("window") == "found"; }
    std::string Value(const std::string& name) const {
        const auto found = values.find(name);
        return found == values.end() ? "" : found->second;
    }
    std::vector<std::string> Steps() const {
        return {Value("step1"), Value("step2"), Value("step3"), Value("step4")};
    }
};

// One Wine prefix for the whole run (making one takes seconds): Decorated=N so that Wine draws
// the frames on a display without a window manager, Wine's own fonts. Where a pristine prefix of
// the same Wine is given (DUPLORA_WINEPREFIX_TEMPLATE: the emulated x86 machine, where making one
// takes minutes), it is copied first and wineboot brings it up to date. No winemenubuilder: the
// shortcuts an installer makes in the prefix are not copied into the desktop menus of the user who
// runs the tests.
class WinePrefix {
public:
    WinePrefix() {
        if (const std::string pristine = Env("DUPLORA_WINEPREFIX_TEMPLATE"); !pristine.empty())
            fs::copy(pristine, Path(),
                     fs::copy_options::recursive | fs::copy_options::copy_symlinks);
        Run("wineboot -i");
        Capture("WINEPREFIX=" + Quoted(Path()) + " " + Quoted(Env("WINESERVER")) + " -w");
        Run("reg add \"HKCU\\\\Software\\\\Wine\\\\X11 Driver\" /v Decorated /d N /f");
        for (const auto& font : fs::directory_iterator("/usr/share/wine/fonts"))
            if (font.path().extension() == ".ttf")
                fs::copy_file(font.path(),
                              fs::path(Path()) / "drive_c/windows/Fonts" / font.path().filename(),
                              fs::copy_options::overwrite_existing);
        EndPrograms();
    }
    ~WinePrefix() { EndPrograms(); }

    // Ends the prefix's Wine server and everything it runs (its desktop process too, which
    // keeps the display it was started on): each test's programs start afresh on its display.
    void EndPrograms() const {
        Capture("WINEPREFIX=" + Quoted(Path()) + " " + Quoted(Env("WINESERVER")) + " -k");
    }

    std::string Path() const { return folder.Path("prefix"); }
    fs::path Host(const std::string& relative) const { return folder.Host("prefix/" + relative); }
    // The environment every program of the prefix runs with.
    std::map<std::string, std::string> Environment() const {
        return {{"WINEPREFIX", Path()},
                {"WINEDEBUG", "-all"},
                {"WINEDLLOVERRIDES", "mscoree,mshtml=;winemenubuilder.exe=d"}};
    }
    std::string Run(const std::string& arguments, int* status = nullptr) const {
        std::string command = "cd / && ";
        for (const auto& [name, value] : Environment()) command += name + "=" + Quoted(value) + " ";
        return Capture(command + Quoted(Env("DUPLORA_WINE")) + " " + arguments + " 2>/dev/null",
                       status);
    }

private:
    // Only Wine's programs and this driver use the prefix: it stays in this machine's own
    // temporary folder, also where the tests' folders are shared with the host.
    TestFolder folder{fs::temp_directory_path()};
};

WinePrefix* prefix = nullptr;

// A Windows that has seen nothing of the other cases: a prefix of its own for one test.
class FreshPrefix {
public:
    FreshPrefix() : shared_(std::exchange(prefix, &fresh_)) {}
    ~FreshPrefix() { prefix = shared_; }

private:
    WinePrefix fresh_;
    WinePrefix* shared_;
};

// How Duplora comes into C:\Duplora: the build's Duplora.exe, or the release zip unpacked there
// as an operator does (Duplora.exe, the example Duplora.ini, the guide), or by the Windows
// Installer package, which the test runs itself (then the world has no C:\Duplora yet).
enum class Installation { kBuild, kPackage, kInstaller };

// A standby machine and its server. Drive C: is the prefix's own; the server's shares C and D
// and the local drive D: are folders of the test, linked into dosdevices. Duplora is installed
// in C:\Duplora with its Duplora.ini and gds32.dll and started from C:\Atual, where the
// installation's Duplora.bat lies.
class World {
public:
    explicit World(const std::string& databasePath,
                   Installation installation = Installation::kBuild) {
        folder.Write("server-c/Tavix/Sonvira/Player.ini", "[player]\r\nvolume=80\r\n",
                     LocalTime(2025, 6, 1, 10, 0, 7));
        folder.Write("server-c/Tavix/Relatorios/2025-05.txt", "maio",
                     LocalTime(2025, 6, 1, 23, 59, 59));
        folder.Write("server-d/Musicas/Rock/Faixa 01.mp3", std::string(300000, '1'),
                     LocalTime(2025, 6, 1, 11, 30, 45));
        folder.Write("server-d/Musicas/Rock/Ao Vivo/Show.mp3", "live",
                     LocalTime(2025, 6, 1, 11, 0, 0));
        folder.Write("server-d/Vinhetas/Vinheta 01.mp3", std::string(50000, 'v'),
                     LocalTime(2025, 6, 1, 7, 7, 7));
        folder.Write("local-d/Musicas/Rock/Antiga.mp3", "old", LocalTime(2025, 6, 1, 9, 0, 0));

        for (const char* installed : {"drive_c/Tavix", "drive_c/Duplora", "drive_c/Atual",
                                      "dosdevices/d:", "dosdevices/unc"})
            fs::remove_all(prefix->Host(installed));
        fs::create_directories(prefix->Host("dosdevices/unc/srv01"));
        fs::create_directory_symlink(folder.Host("server-c"),
                                     prefix->Host("dosdevices/unc/srv01/c"));
        fs::create_directory_symlink(folder.Host("server-d"),
                                     prefix->Host("dosdevices/unc/srv01/d"));
        fs::create_directory_symlink(folder.Host("local-d"), prefix->Host("dosdevices/d:"));
        fs::create_directories(prefix->Host("drive_c/Tavix/Sonvira/Tavixdb"));
        fs::create_directories(prefix->Host("drive_c/Atual"));
        if (installation == Installation::kInstaller) return;
        fs::create_directories(prefix->Host("drive_c/Duplora"));
        if (installation == Installation::kPackage)
            Capture("cd " + Quoted(prefix->Host("drive_c/Duplora")) + " && cmake -E tar xf " +
                    Quoted(Env("DUPLORA_PACKAGE")));
        else
            fs::copy_file(Env("DUPLORA_EXE"), prefix->Host("drive_c/Duplora/Duplora.exe"));
        PutClientLibrary();
        WriteSettings(databasePath, "N", "  :  ");
    }

    void PutClientLibrary() {
        fs::copy_file(Env("DUPLORA_GDS32"), prefix->Host("drive_c/Duplora/gds32.dll"));
    }

    void WriteSettings(const std::string& databasePath, const std::string& daily,
                       const std::string& time) {
        std::ofstream(prefix->Host("drive_c/Duplora/Duplora.ini"), std::ios::binary)
            << "[BANCO]\r\nCAMINHO=" << databasePath
            << "\r\n[SERVIDOR]\r\nNOME=SRV01\r\nPASTA_SISTEMA=\\\\SRV01\\C\\Tavix\r\n[CONFIG]\r\n"
            << "diario=" << daily << "\r\nhorario=" << time << "\r\n";
    }
    // Settings and batch file for `database`, on the tests' Firebird server, the daily run on.
    void Serve(const FirebirdTestDatabase& database) {
        WriteSettings(database.ServerName(), "S", "  :  ");
        WriteBatchFile(database.File());
    }
    std::string Settings() const { return Read("drive_c/Duplora/Duplora.ini"); }
    // Adds to the settings a notice of every failed run to `url`, with a JSON body.
    void NoticeFailuresTo(const std::string& url) {
        std::ofstream(prefix->Host("drive_c/Duplora/Duplora.ini"), std::ios::binary | std::ios::app)
            << "[AVISO]\r\nURL_FALHA=" << url << "\r\nCORPO={\"text\": \"{maquina}: {texto}\"}\r\n";
    }
    // The batch file copies `database` (a host path, Z: in Wine) into the local database folder
    // and notes that it ran.
    void WriteBatchFile(const fs::path& database) {
        std::ofstream(prefix->Host("drive_c/Atual/Duplora.bat"), std::ios::binary)
            << "copy \"Z:" << WindowsPath(database) << "\" C:\\Tavix\\Sonvira\\Tavixdb\\\r\n"
            << "echo ran>> C:\\Atual\\runs.txt\r\n";
    }
    int BatchRuns() const {
        std::istringstream lines(Read("drive_c/Atual/runs.txt"));
        int runs = 0;
        for (std::string line; std::getline(lines, line);) ++runs;
        return runs;
    }
    std::string Read(const std::string& prefixRelative) const {
        std::ifstream file(prefix->Host(prefixRelative), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(file), {});
    }
    static std::string WindowsPath(const fs::path& host) {
        std::string path = host.string();
        for (char& c : path)
            if (c == '/') c = '\\';
        return path;
    }

    TestFolder folder;
};

// A folder of drive C: (C:\x\y\) as the host's path.
fs::path HostFolder(const std::string& windowsFolder) {
    EXPECT_TRUE(windowsFolder.size() >= 3 && (windowsFolder[0] | 0x20) == 'c' &&
                windowsFolder.compare(1, 2, ":\\") == 0)
        << windowsFolder << " is not a folder of drive C:";
    std::string relative = windowsFolder.substr(std::min<size_t>(3, windowsFolder.size()));
    for (char& c : relative)
        if (c == '\\') c = '/';
    return prefix->Host("drive_c/" + relative);
}

// How Duplora is started: a program and the folder it starts in, as a shortcut says them.
struct Start {
    std::string target = "C:\\Duplora\\Duplora.exe";
    std::string folder = "C:\\Atual\\";
};

// Duplora.exe started in the world, on the test's display. Wine's own messages go to the test's
// duplora.log, those `wineDebug` asks for (WINEDEBUG) among them.
class DuploraSession {
public:
    DuploraSession(const VirtualDisplay& display, const TestFolder& logs, const Start& start = {},
                   const std::string& wineDebug = "-all")
        : logs_(logs),
          program_({Env("DUPLORA_WINE"), start.target}, Environment(display, wineDebug),
                   HostFolder(start.folder), logs.Host("duplora.log")) {}
    ~DuploraSession() {
        program_.Stop();
        prefix->EndPrograms();
    }

    static std::map<std::string, std::string> Environment(const VirtualDisplay& display,
                                                          const std::string& wineDebug = "-all") {
        auto environment = prefix->Environment();
        environment["DISPLAY"] = display.Name();
        environment["WINEDEBUG"] = wineDebug;
        return environment;
    }

    WindowState Read() const {
        WindowState state;
        state.text = prefix->Run(Quoted(Env("DUPLORA_WINDOW_PROBE")));
        std::istringstream lines(state.text);
        for (std::string line; std::getline(lines, line);) {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            const size_t equals = line.find('=');
            if (equals == std::string::npos) continue;
            const std::string name = line.substr(0, equals);
            if (name == "box")
                state.boxes.push_back(line.substr(equals + 1));
            else
                state.values[name] = line.substr(equals + 1);
        }
        return state;
    }
    // Waits until what the probe reads satisfies `condition`; the last reading.
    WindowState WaitFor(const std::function<bool(const WindowState&)>& condition,
                        std::chrono::milliseconds timeout, const char* what) {
        WindowState state;
        const bool met = WaitUntil([&] { return condition(state = Read()); }, timeout);
        EXPECT_TRUE(met) << what << "; the window reads:\n" << state.text;
        return state;
    }
    WindowState WaitForWindow() {
        const WindowState state =
            WaitFor([](const WindowState& s) { return s.Value("visible") == "1"; }, 180s,
                    "the main window did not appear");
        if (state.Value("visible") != "1")
            ADD_FAILURE() << "Wine says:\n" << logs_.Read("duplora.log");
        return state;
    }
    // A click at a point of the window's client area.
    void Click(Point at) {
        const WindowState state = Read();
        int x = 0, y = 0;
        std::sscanf(state.Value("client").c_str(), "%d,%d", &x, &y);
        ClickAt(x + at.x, y + at.y);
    }
    // The window with its frame as the screen shows it, saved as a PNG file.
    void SaveScreenshot(const std::string& file) const {
        for (const WindowInfo& window : WindowsNamed(kTitle))
            if (window.topLevel && window.viewable)
                Capture("import -window " + std::to_string(window.id) + " " + Quoted(file));
    }
    ChildProcess& Program() { return program_; }

private:
    const TestFolder& logs_;
    ChildProcess program_;
};

// The music folders that the database of a whole backup lists.
const FirebirdTestDatabase::Rows kMusicFolders{"\\\\SRV01\\D\\Musicas\\Rock\\",
                                               "\\\\SRV01\\D\\Vinhetas\\"};

const std::vector<std::string> kAllOk(4, "Ok");
const std::vector<std::string> kAllError(4, "Error");
const std::vector<std::string> kAllPending(4, "Pending");

bool RunEnded(const WindowState& s) {
    const auto steps = s.Steps();
    return s.Value("btnIniciarBackup") == "1" &&
           (steps == kAllOk || std::count(steps.begin(), steps.end(), "Error") > 0);
}

class DuploraWineE2E : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        for (const char* name :
             {"DUPLORA_WINE", "WINESERVER", "DUPLORA_EXE", "DUPLORA_WINDOW_PROBE", "DUPLORA_GDS32",
              "DUPLORA_PACKAGE", "DUPLORA_MSI", "DUPLORA_MSI_FILES", "DUPLORA_MSI_VERSION",
              "DUPLORA_MSI_UPGRADE_CODE", "DUPLORA_OLDER_MSI", "DUPLORA_OLDER_MSI_VERSION",
              "DUPLORA_INSTALL_PROBE"})
            ASSERT_FALSE(Env(name).empty()) << name << " is not set: run the test through CTest";
        prefix = new WinePrefix;
    }
    static void TearDownTestSuite() {
        delete prefix;
        prefix = nullptr;
    }
    // A database path no server answers for.
    static std::string Unreachable() { return "127.0.0.1/1:C:\\Nada\\TAVIXAUDIO.FDB"; }

    TestFolder logs;
    VirtualDisplay display{logs.Host()};
};

// A file of the server and where its copy must be, with the copy's time: the source's local time
// cut to the even second below, as the MS-DOS form keeps it.
struct Mirrored {
    std::string source;  // below the test folder
    fs::path copy;       // in the prefix
    std::chrono::system_clock::time_point time;
};

// The files of the server that a whole backup copies, with their copies' times.
std::vector<Mirrored> MirroredFiles(const World& world) {
    return {
        {"server-c/Tavix/Sonvira/Player.ini", prefix->Host("drive_c/Tavix/Sonvira/Player.ini"),
         LocalTime(2025, 6, 1, 10, 0, 6)},
        {"server-c/Tavix/Relatorios/2025-05.txt",
         prefix->Host("drive_c/Tavix/Relatorios/2025-05.txt"), LocalTime(2025, 6, 1, 23, 59, 58)},
        {"server-d/Musicas/Rock/Faixa 01.mp3",
         world.folder.Host("local-d/Musicas/Rock/Faixa 01.mp3"), LocalTime(2025, 6, 1, 11, 30, 44)},
        {"server-d/Vinhetas/Vinheta 01.mp3", world.folder.Host("local-d/Vinhetas/Vinheta 01.mp3"),
         LocalTime(2025, 6, 1, 7, 7, 6)},
    };
}

// Presses the start button of a window just opened on a world served by a database (World::Serve)
// and checks a whole backup: four Ok steps and the closing line, every newer file of the server
// copied with its time, one level of each music folder, nothing deleted, the batch file run.
void ExpectWholeBackup(const World& world, DuploraSession& duplora) {
    EXPECT_EQ(duplora.WaitForWindow().Steps(), kAllPending);
    duplora.Click(kStart);
    const WindowState state =
        duplora.WaitFor([&](const WindowState& s) { return RunEnded(s) && world.BatchRuns() == 1; },
                        180s, "the run did not end");
    EXPECT_EQ(state.Steps(), kAllOk);
    EXPECT_EQ(state.Value("lblProgresso").rfind("Backup finalizado as ", 0), 0u)
        << state.Value("lblProgresso");
    EXPECT_EQ(state.Value("lblDestino"), "");
    EXPECT_TRUE(state.boxes.empty()) << state.text;

    for (const Mirrored& file : MirroredFiles(world)) {
        SCOPED_TRACE(file.copy.string());
        ASSERT_TRUE(fs::exists(file.copy));
        std::ifstream copy(file.copy, std::ios::binary);
        EXPECT_EQ(std::string(std::istreambuf_iterator<char>(copy), {}),
                  world.folder.Read(file.source));
        EXPECT_EQ(std::chrono::time_point_cast<std::chrono::system_clock::duration>(
                      std::chrono::file_clock::to_sys(fs::last_write_time(file.copy))),
                  file.time);
    }
    // One level only, nothing deleted, the database copied by the batch file.
    EXPECT_FALSE(world.folder.Exists("local-d/Musicas/Rock/Ao Vivo"));
    EXPECT_EQ(world.folder.Read("local-d/Musicas/Rock/Antiga.mp3"), "old");
    EXPECT_TRUE(fs::exists(prefix->Host("drive_c/Tavix/Sonvira/Tavixdb/TAVIXAUDIO.FDB")));
}

TEST_F(DuploraWineE2E, StartButtonRunsTheBackupAndClosingSavesTheSchedule) {
    World world("");
    const FirebirdTestDatabase database(world.folder, "VARCHAR(255)", kMusicFolders, 1);
    world.Serve(database);
    DuploraSession duplora(display, logs);
    ExpectWholeBackup(world, duplora);
    if (!Env("DUPLORA_SCREENSHOT").empty()) duplora.SaveScreenshot(Env("DUPLORA_SCREENSHOT"));

    // The user turns the daily run off and closes the window: the schedule is written back.
    duplora.Click(kDiario);
    duplora.Click(kFechar);
    EXPECT_EQ(duplora.Program().WaitForExit(60s), std::optional<int>(0));
    EXPECT_NE(world.Settings().find("diario=N"), std::string::npos) << world.Settings();
}

// As an operator installs it: the release zip unpacked into C:\Duplora of a Windows that has seen
// nothing of the other cases, the client library put beside it, the example settings edited.
TEST_F(DuploraWineE2E, TheReleaseZipInAFreshPrefixRunsAWholeBackupAndASecondCopiesNothing) {
    const FreshPrefix fresh;
    World world("", Installation::kPackage);
    for (const char* file : {"Duplora.exe", "Duplora.ini", "LEIA-ME.txt", "gds32.dll"})
        EXPECT_TRUE(fs::is_regular_file(prefix->Host("drive_c/Duplora/") += file)) << file;
    const FirebirdTestDatabase database(world.folder, "VARCHAR(255)", kMusicFolders, 1);
    world.Serve(database);
    DuploraSession duplora(display, logs);
    ExpectWholeBackup(world, duplora);

    // A second run over the unchanged server copies nothing. Each copy is marked on the standby
    // machine with its time and size kept, so a copy made again would show.
    const auto marker = [](const Mirrored& file) {
        return std::string(static_cast<std::size_t>(fs::file_size(file.copy)), '#');
    };
    for (const Mirrored& file : MirroredFiles(world)) {
        const std::string marked = marker(file);  // before the file is opened, which empties it
        std::ofstream(file.copy, std::ios::binary) << marked;
        fs::last_write_time(file.copy, std::chrono::file_clock::from_sys(file.time));
    }
    duplora.Click(kStart);
    const WindowState second =
        duplora.WaitFor([&](const WindowState& s) { return RunEnded(s) && world.BatchRuns() == 2; },
                        180s, "the second run did not end");
    EXPECT_EQ(second.Steps(), kAllOk);
    for (const Mirrored& file : MirroredFiles(world)) {
        std::ifstream copy(file.copy, std::ios::binary);
        EXPECT_TRUE(std::string(std::istreambuf_iterator<char>(copy), {}) == marker(file))
            << file.copy << " was copied again";
    }
    duplora.Click(kFechar);
    EXPECT_EQ(duplora.Program().WaitForExit(60s), std::optional<int>(0));
}

// The Windows Installer, silent, as an administrator runs it on many machines, with at most one
// property (NAME=value): msiexec's exit status.
int Msiexec(const std::string& action, const std::string& package,
            const std::string& property = "") {
    int status = -1;
    prefix->Run("msiexec " + action + " " + Quoted("Z:" + World::WindowsPath(package)) + " /qn" +
                    (property.empty() ? "" : " " + Quoted(property)),
                &status);
    return status;
}

// What duplora_install_probe.exe reads in the prefix: the installed products of the package's
// family, the shortcuts, the event source.
struct Installed {
    std::map<std::string, std::string> values;
    std::vector<std::string> products;  // "<ProductCode> <machine|user|none> <version>"
    std::string text;

    std::string Value(const std::string& name) const {
        const auto found = values.find(name);
        return found == values.end() ? "" : found->second;
    }
    // The shortcut in the Startup ("startup") or the Programs ("programs") folder, found in the
    // all users' folder or in the user's: its key. Windows puts a per-machine package's shortcuts
    // in the all users' folders; Wine's msi puts them in the installing user's whatever ALLUSERS
    // says (the per-machine install shows in the product's context instead).
    std::string Link(const std::string& folder) const {
        const std::string common = "link." + folder + ".common", user = "link." + folder + ".user";
        EXPECT_NE(values.count(common), values.count(user))
            << "a shortcut in " << folder << " for all users or for the user, one of them:\n"
            << text;
        return values.count(common) ? common : user;
    }
    bool HasAny(const std::string& prefix) const {
        return std::any_of(values.begin(), values.end(),
                           [&](const auto& v) { return v.first.rfind(prefix, 0) == 0; });
    }
};

Installed ReadInstallation() {
    Installed installed;
    installed.text = prefix->Run(Quoted(Env("DUPLORA_INSTALL_PROBE")) + " " +
                                 Quoted(Env("DUPLORA_MSI_UPGRADE_CODE")));
    std::istringstream lines(installed.text);
    for (std::string line; std::getline(lines, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const size_t equals = line.find('=');
        if (equals == std::string::npos) continue;
        if (line.compare(0, equals, "product") == 0)
            installed.products.push_back(line.substr(equals + 1));
        else
            installed.values[line.substr(0, equals)] = line.substr(equals + 1);
    }
    EXPECT_EQ(installed.Value("fault"), "") << installed.text;
    return installed;
}

std::string ReadHost(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    EXPECT_TRUE(in) << file;
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// The one product installed, per machine, of `version`.
void ExpectOneProduct(const Installed& installed, const std::string& version) {
    ASSERT_EQ(installed.products.size(), 1u) << installed.text;
    const std::string& product = installed.products[0];
    EXPECT_EQ(product.substr(product.find(' ') + 1), "machine " + version) << installed.text;
}

// Both shortcuts start C:\Duplora\Duplora.exe in `folder`, with no arguments, in a normal window.
void ExpectShortcuts(const Installed& installed, const std::string& folder) {
    for (const char* where : {"startup", "programs"}) {
        const std::string link = installed.Link(where);
        SCOPED_TRACE(link);
        EXPECT_EQ(installed.Value(link + ".target"), "C:\\Duplora\\Duplora.exe");
        EXPECT_EQ(installed.Value(link + ".workdir"), folder);
        EXPECT_EQ(installed.Value(link + ".arguments"), "");
        EXPECT_EQ(installed.Value(link + ".showcmd"), "1");  // SW_SHOWNORMAL
    }
}

// The administrator's silent install on a fresh machine: the program, the guide and the example
// settings in C:\Duplora, the event source registered, the shortcuts in the installation's
// folder; the session's shortcut starts a whole backup; the removal takes the program, the
// shortcuts and the event source and leaves the operator's settings and log as they were, which
// a new install then keeps.
TEST_F(DuploraWineE2E,
       TheInstallerSetsUpAMachineWhoseShortcutRunsAWholeBackupAndRemovalKeepsTheData) {
    const FreshPrefix fresh;
    World world("", Installation::kInstaller);
    ASSERT_EQ(Msiexec("/i", Env("DUPLORA_MSI"), "PASTA_BAT=C:\\Atual"), 0);

    const fs::path files = Env("DUPLORA_MSI_FILES");
    for (const char* file : {"Duplora.exe", "Duplora.ini", "LEIA-ME.txt"})
        EXPECT_EQ(world.Read(std::string("drive_c/Duplora/") + file), ReadHost(files / file))
            << file;
    const Installed installed = ReadInstallation();
    ExpectOneProduct(installed, Env("DUPLORA_MSI_VERSION"));
    EXPECT_EQ(installed.Value("eventlog.EventMessageFile"), "C:\\Duplora\\Duplora.exe");
    EXPECT_EQ(installed.Value("eventlog.EventMessageFile.type"), "REG_EXPAND_SZ");
    EXPECT_EQ(installed.Value("eventlog.TypesSupported"), "7");
    EXPECT_EQ(installed.Value("eventlog.TypesSupported.type"), "REG_DWORD");
    ExpectShortcuts(installed, "C:\\Atual\\");

    // The operator puts the client library beside it and fills in the settings; the session
    // starts Duplora as the Startup shortcut says.
    world.PutClientLibrary();
    const FirebirdTestDatabase database(world.folder, "VARCHAR(255)", kMusicFolders, 1);
    world.Serve(database);
    const std::string link = installed.Link("startup");
    {
        DuploraSession duplora(
            display, logs, {installed.Value(link + ".target"), installed.Value(link + ".workdir")});
        ExpectWholeBackup(world, duplora);
        duplora.Click(kFechar);
        EXPECT_EQ(duplora.Program().WaitForExit(60s), std::optional<int>(0));
    }
    const std::string settings = world.Settings(), log = world.Read("drive_c/Duplora/Duplora.log");
    EXPECT_NE(settings.find("CAMINHO=" + database.ServerName()), std::string::npos) << settings;
    EXPECT_FALSE(log.empty()) << "the run wrote no log";

    ASSERT_EQ(Msiexec("/x", Env("DUPLORA_MSI")), 0);
    const Installed removed = ReadInstallation();
    EXPECT_TRUE(removed.products.empty()) << removed.text;
    EXPECT_FALSE(removed.HasAny("link.")) << removed.text;
    EXPECT_FALSE(removed.HasAny("eventlog.")) << removed.text;
    for (const char* file : {"Duplora.exe", "LEIA-ME.txt"})
        EXPECT_FALSE(fs::exists(prefix->Host("drive_c/Duplora/") += file)) << file;
    EXPECT_EQ(world.Settings(), settings);
    EXPECT_EQ(world.Read("drive_c/Duplora/Duplora.log"), log);

    // Installed again, for another batch file's folder: the settings found there are kept.
    ASSERT_EQ(Msiexec("/i", Env("DUPLORA_MSI"), "PASTA_BAT=C:\\Tavix"), 0);
    ExpectShortcuts(ReadInstallation(), "C:\\Tavix\\");
    EXPECT_EQ(world.Read("drive_c/Duplora/Duplora.exe"), ReadHost(files / "Duplora.exe"));
    EXPECT_EQ(world.Settings(), settings);
}

// A newer version over an older one: the program replaced, the operator's edited settings and
// log kept byte for byte, one product left; the shortcuts' folder is the default C:\Tavix\ until
// the new install names another. In the shared prefix, which no other case installs into; the
// package is removed at the end.
TEST_F(DuploraWineE2E, AnUpgradeReplacesTheProgramAndKeepsTheOperatorsSettingsAndLog) {
    World world("", Installation::kInstaller);
    ASSERT_EQ(Msiexec("/i", Env("DUPLORA_OLDER_MSI")), 0);
    const Installed older = ReadInstallation();
    ExpectOneProduct(older, Env("DUPLORA_OLDER_MSI_VERSION"));
    ExpectShortcuts(older, "C:\\Tavix\\");
    const fs::path files = Env("DUPLORA_MSI_FILES");
    EXPECT_EQ(world.Settings(), ReadHost(files / "Duplora.ini"));
    const std::string olderProgram = world.Read("drive_c/Duplora/Duplora.exe");
    ASSERT_NE(olderProgram, ReadHost(files / "Duplora.exe")) << "the two packages hold one program";

    world.WriteSettings(Unreachable(), "S", "21:30");
    const std::string settings = world.Settings();
    const std::string log = "01/06/2025 07:30:00 Backup finalizado as 07:31\r\n";
    std::ofstream(prefix->Host("drive_c/Duplora/Duplora.log"), std::ios::binary) << log;

    ASSERT_EQ(Msiexec("/i", Env("DUPLORA_MSI"), "PASTA_BAT=C:\\Atual"), 0);
    const Installed newer = ReadInstallation();
    ExpectOneProduct(newer, Env("DUPLORA_MSI_VERSION"));
    ExpectShortcuts(newer, "C:\\Atual\\");
    EXPECT_EQ(world.Read("drive_c/Duplora/Duplora.exe"), ReadHost(files / "Duplora.exe"));
    EXPECT_EQ(world.Settings(), settings);
    EXPECT_EQ(world.Read("drive_c/Duplora/Duplora.log"), log);
    EXPECT_EQ(Msiexec("/x", Env("DUPLORA_MSI")), 0);
    EXPECT_TRUE(ReadInstallation().products.empty());
}

// The run tells how it ended away from the standby machine too: an error in the Application event
// log (Wine prints what ReportEventA is given under +eventlog) and the webhook of [AVISO], both
// with the reason.
TEST_F(DuploraWineE2E, UnreachableDatabaseFailsEveryStepWithoutAMessageAndTellsItsReason) {
    const HttpTestServer server;
    ASSERT_TRUE(server.Available()) << server.WhyNot();
    World world(Unreachable());
    world.NoticeFailuresTo(server.Url("http", server.HttpPort(), "/hook?token=SECRET"));
    const std::size_t mark = server.Mark();
    DuploraSession duplora(display, logs, {}, "-all,+eventlog");
    duplora.WaitForWindow();
    duplora.Click(kStart);
    const WindowState state = duplora.WaitFor(RunEnded, 120s, "the run did not end");
    EXPECT_EQ(state.Steps(), kAllError);
    EXPECT_TRUE(state.boxes.empty()) << state.text;
    EXPECT_EQ(state.Value("btnFechar"), "1");
    EXPECT_EQ(state.Value("grpAgendamento"), "1");
    EXPECT_EQ(world.BatchRuns(), 0);
    EXPECT_FALSE(fs::exists(prefix->Host("drive_c/Tavix/Sonvira/Player.ini")));

    const std::string stopped = "  Backup interrompido no passo 1: ";
    const auto requests = server.RequestsSince(mark);
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].method, "POST");
    EXPECT_EQ(requests[0].target, "/hook?token=SECRET");
    EXPECT_NE(requests[0].body.find(stopped), std::string::npos) << requests[0].body;
    const std::string wine = logs.Read("duplora.log");
    const std::size_t event = wine.find("err:eventlog:ReportEventW");
    ASSERT_NE(event, std::string::npos) << wine;
    EXPECT_NE(wine.find(stopped, event), std::string::npos) << wine.substr(event, 400);
}

TEST_F(DuploraWineE2E, TheDailyScheduleStartsTheRunInItsMinute) {
    World world(Unreachable());
    // The next minute; the 30-second timer must tick in it.
    const std::time_t next = std::time(nullptr) + 60;
    std::tm local{};
    localtime_r(&next, &local);
    char time[8];
    std::snprintf(time, sizeof time, "%02d:%02d", local.tm_hour, local.tm_min);
    world.WriteSettings(Unreachable(), "S", time);
    DuploraSession duplora(display, logs);
    const WindowState start = duplora.WaitForWindow();
    EXPECT_EQ(start.Value("chkDiario"), "1");
    EXPECT_EQ(start.Value("edtHorario"), time);
    EXPECT_EQ(start.Steps(), kAllPending);
    const WindowState state =
        duplora.WaitFor([](const WindowState& s) { return s.Steps() == kAllError; }, 150s,
                        "the daily run did not start");
    EXPECT_TRUE(state.boxes.empty()) << state.text;
}

TEST_F(DuploraWineE2E, TrayIconHidesAndShowsTheWindowAndItsMenuStartsARunAndCloses) {
    const TrayHost trayer(logs.Host());
    World world(Unreachable());
    world.WriteSettings(Unreachable(), "S", "  :  ");
    DuploraSession duplora(display, logs);
    // A user's clicks come apart by more than the prefix's double-click time.
    const std::string doubleClickTime = duplora.WaitForWindow().Value("doubleClickTime");
    ASSERT_GT(std::atoi(doubleClickTime.c_str()), 0) << doubleClickTime;
    UserClicks user{std::chrono::milliseconds(std::atoi(doubleClickTime.c_str()))};

    // The icon: a window docked in the notification area. Wine's explorer.exe holds the
    // notification icons of the prefix.
    const std::optional<WindowInfo> icon = trayer.WaitForIcon("explorer.exe", 30s);
    ASSERT_TRUE(icon) << "no icon in the notification area";
    const Point iconAt{icon->x + icon->width / 2, icon->y + icon->height / 2};
    auto visible = [](const WindowState& s) { return s.Value("visible") == "1"; };
    auto hidden = [](const WindowState& s) { return s.Value("visible") == "0"; };

    user.Click(iconAt.x, iconAt.y);
    duplora.WaitFor(hidden, 20s, "a left click did not hide the window");
    user.Click(iconAt.x, iconAt.y);
    duplora.WaitFor(visible, 20s, "a left click did not show the window");

    // The menu: "Iniciar Backup", "Ocultar"/"Restaurar", "Fechar", chosen with the keyboard.
    auto menuOpen = [] {  // a top-level window of the program without the title
        std::set<unsigned long> titled;
        for (const WindowInfo& window : WindowsNamed(kTitle)) titled.insert(window.id);
        for (const WindowInfo& window : WindowsOfClass("duplora.exe"))
            if (window.topLevel && window.viewable && window.width > 1 && !titled.count(window.id))
                return true;
        return false;
    };
    auto choose = [&](int downs) {
        user.Click(iconAt.x, iconAt.y, 3);
        ASSERT_TRUE(WaitUntil(menuOpen, 20s)) << "the menu did not open";
        std::string keys;
        for (int i = 0; i < downs; ++i) keys += " Down";
        Capture("xdotool key" + keys + " Return");
    };
    choose(2);  // "Ocultar"
    duplora.WaitFor(hidden, 20s, "\"Ocultar\" did not hide the window");
    choose(2);  // "Restaurar"
    duplora.WaitFor(visible, 20s, "\"Restaurar\" did not show the window");
    choose(1);  // "Iniciar Backup": a run, which finds no database
    duplora.WaitFor([](const WindowState& s) { return s.Steps() == kAllError; }, 60s,
                    "\"Iniciar Backup\" did not start a run");
    choose(3);  // "Fechar"
    EXPECT_EQ(duplora.Program().WaitForExit(60s), std::optional<int>(0))
        << "\"Fechar\" did not end Duplora";
    EXPECT_NE(world.Settings().find("diario=S"), std::string::npos) << world.Settings();
}

TEST_F(DuploraWineE2E, SettingsThatCannotBeWrittenKeepTheWindowOpen) {
    World world(Unreachable());
    DuploraSession duplora(display, logs);
    duplora.WaitForWindow();
    fs::permissions(prefix->Host("drive_c/Duplora/Duplora.ini"),
                    fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    duplora.Click(kFechar);
    const WindowState state = duplora.WaitFor([](const WindowState& s) { return !s.boxes.empty(); },
                                              30s, "no message box");
    ASSERT_EQ(state.boxes.size(), 1u);
    EXPECT_EQ(state.boxes[0],
              std::string(kTitle) + ": Unable to write to C:\\Duplora\\Duplora.ini.");
    EXPECT_EQ(state.Value("visible"), "1");
    EXPECT_TRUE(duplora.Program().Running());
}

TEST_F(DuploraWineE2E, WithoutTheClientLibraryTheStartUpFailureIsReported) {
    World world(Unreachable());
    fs::remove(prefix->Host("drive_c/Duplora/gds32.dll"));
    DuploraSession duplora(display, logs);
    const WindowState state = duplora.WaitFor([](const WindowState& s) { return !s.boxes.empty(); },
                                              60s, "no Application Error box");
    EXPECT_FALSE(state.Found());
    ASSERT_EQ(state.boxes.size(), 1u);
    const std::string& box = state.boxes[0];
    EXPECT_EQ(
        box.rfind("Application Error: Exception DatabaseClientError in module Duplora.exe at ", 0),
        0u)
        << box;
    EXPECT_NE(box.find(".\\nInterBase library gds32.dll not found in the path. Please install "
                       "InterBase to use this functionality.\\n"),
              std::string::npos)
        << box;
}

}  // namespace
