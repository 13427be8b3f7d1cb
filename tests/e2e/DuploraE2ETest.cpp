// Duplora end to end: the real program on its own Xvfb, a world of real folders laid out the way
// it resolves Windows paths, the playout database on the real Firebird server, and a user's
// clicks on the real window and the real notification area (trayer). What is checked is what a
// user would check: the files on the local drives, the step pictures and the closing line on
// the screen, the settings file after closing.
#include <gtest/gtest.h>
#include <signal.h>

#include <algorithm>
#include <ctime>
#include <fstream>
#include <sstream>

#include "Desktop.h"
#include "ScreenState.h"
#include "support/FirebirdTestDatabase.h"
#include "support/TestFolder.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kTitle = "Duplora - Tavix Zadododa";
const std::string kServerC = "wine/dosdevices/unc/srv01/c/";
const std::string kServerD = "wine/dosdevices/unc/srv01/d/";
const std::string kLocalC = "wine/dosdevices/c:/";
const std::string kLocalD = "wine/dosdevices/d:/";

// Controls of the main window, in its client area.
constexpr int kStartX = 7 + 61, kStartY = 223 + 21;          // btnIniciarBackup
constexpr int kFecharX = 256 + 61, kFecharY = 223 + 21;      // btnFechar
constexpr int kDiarioX = 8 + 72 + 7, kDiarioY = 8 + 18 + 8;  // chkDiario's box

auto At(int hour, int minute, int second, int milliseconds = 0, int day = 1) {
    return LocalTime(2025, 6, day, hour, minute, second) + std::chrono::milliseconds(milliseconds);
}

// A standby machine and its server on one dosdevices root, with Duplora installed in bin/ and
// started from current/, where the installation's Duplora.bat lies. Tb_Pastas lists
// \\SRV01\D\Musicas\Rock\, \\SRV01\D\Musicas\Pop (no final backslash) and \\SRV01\D\Vinhetas\.
class World {
public:
    // `databaseReady` false: the database file is not in its place yet (PutDatabaseInPlace).
    explicit World(bool databaseReady = true) {
        // The system folder \\SRV01\C\Tavix\: a nested tree, a hidden file, a hidden folder.
        folder.Write(kServerC + "Tavix/Sonvira/Player.ini", "[player]\nvolume=80\n",
                     At(10, 0, 7, 600));
        folder.Write(kServerC + "Tavix/Sonvira/Layout.cfg", "server layout", At(10, 0, 0));
        folder.Write(kServerC + "Tavix/Sonvira/Plugins/Efeitos/Eco.dll", std::string(70000, 'e'),
                     At(9, 15, 33));
        folder.Write(kServerC + "Tavix/Relatorios/2025-05.txt", "maio", At(23, 59, 59, 999));
        folder.Write(kServerC + "Tavix/.lock", "locked by player", At(8, 0, 1));
        folder.Write(kServerC + "Tavix/.cache/thumbs.db", "cache", At(8, 0, 0));
        // Music folders, one level each: the subfolder of Rock is not copied.
        folder.Write(kServerD + "Musicas/Rock/Faixa 01.mp3", std::string(300000, '1'),
                     At(11, 30, 45, 250));
        folder.Write(kServerD + "Musicas/Rock/Faixa 02.mp3", std::string(200000, '2'),
                     At(11, 31, 2));
        folder.Write(kServerD + "Musicas/Rock/Ao Vivo/Show.mp3", "live", At(11, 0, 0));
        folder.Write(kServerD + "Musicas/Pop/Sucesso.mp3", std::string(150000, 'p'), At(12, 0, 11));
        folder.Write(kServerD + "Vinhetas/Vinheta 01.mp3", std::string(50000, 'v'), At(7, 7, 7));
        // The standby machine already has some files of its own.
        folder.Write(kLocalC + "Tavix/Sonvira/Layout.cfg", "local layout, newer",
                     At(10, 0, 0, 0, 2));
        folder.Write(kLocalC + "Tavix/Sonvira/Anotacoes.txt", "notes", At(9, 0, 0));
        folder.Write(kLocalD + "Musicas/Rock/Antiga.mp3", "old", At(9, 0, 0));
        folder.MakeFolder(kLocalC + "Tavix/Sonvira/Tavixdb");

        db.emplace(
            folder, "VARCHAR(255)",
            FirebirdTestDatabase::Rows{"\\\\SRV01\\D\\Musicas\\Rock\\",
                                       "\\\\SRV01\\D\\Musicas\\Pop", "\\\\SRV01\\D\\Vinhetas\\"},
            1, databaseReady ? "TAVIXAUDIO.FDB" : "NOT-YET.FDB");
        database = folder.Host("TAVIXAUDIO.FDB");

        // The installation's batch file copies the database and notes that it ran.
        folder.Write("current/Duplora.bat",
                     "cp -p " + Quoted(database.string()) + " " +
                         Quoted(folder.Path(kLocalC + "Tavix/Sonvira/Tavixdb/TAVIXAUDIO.FDB")) +
                         "\necho ran >> " + Quoted(folder.Path("batch-runs.txt")) + "\n");

        // A daily time twelve hours away, so the schedule never starts a run during the test.
        const std::time_t now = std::time(nullptr);
        std::tm local{};
        localtime_r(&now, &local);
        char time[16];
        std::snprintf(time, sizeof time, "%02d:%02d", (local.tm_hour + 12) % 24, local.tm_min);
        dailyTime = time;
        folder.Write("bin/Duplora.ini",
                     "[BANCO]\nCAMINHO=" + DatabaseName() +
                         "\n[SERVIDOR]\nNOME=SRV01\nPASTA_SISTEMA=\\\\SRV01\\C\\Tavix\n"
                         "[CONFIG]\ndiario=S\nhorario=" +
                         dailyTime + "\n");
        fs::copy_file(DUPLORA_EXE, folder.Host("bin/Duplora"));
    }

    // [BANCO] CAMINHO: the database on the tests' Firebird server.
    std::string DatabaseName() const { return SharedServerAddress() + ":" + database.string(); }

    void PutDatabaseInPlace() { fs::rename(folder.Host("NOT-YET.FDB"), database); }

    int BatchRuns() const {
        std::istringstream lines(folder.Read("batch-runs.txt"));
        int runs = 0;
        for (std::string line; std::getline(lines, line);) ++runs;
        return runs;
    }

    // Every file under the local drives: its path below dosdevices, size and time.
    std::map<std::string, std::pair<uintmax_t, fs::file_time_type>> LocalFiles() const {
        std::map<std::string, std::pair<uintmax_t, fs::file_time_type>> files;
        for (const char* drive : {"c:", "d:"})
            for (const auto& entry :
                 fs::recursive_directory_iterator(folder.Host("wine/dosdevices") / drive))
                if (entry.is_regular_file())
                    files[fs::relative(entry.path(), folder.Host("wine/dosdevices")).string()] = {
                        entry.file_size(), entry.last_write_time()};
        return files;
    }

    TestFolder folder;
    std::optional<FirebirdTestDatabase> db;
    fs::path database;
    std::string dailyTime;
};

// Duplora started in a world on a display of its own.
class DuploraSession {
public:
    DuploraSession(World& world, VirtualDisplay& display)
        : world_(world),
          program_({world.folder.Path("bin/Duplora")},
                   {{"WINEPREFIX", world.folder.Path("wine")}, {"DISPLAY", display.Name()}},
                   world.folder.Host("current"), world.folder.Host("duplora.log")) {}

    // The main window: the program's visible top-level window of the window's size.
    std::optional<WindowInfo> MainWindow() const {
        for (const WindowInfo& window : WindowsNamed(kTitle))
            if (window.topLevel && window.viewable && window.width == 385 && window.height == 273)
                return window;
        return std::nullopt;
    }
    WindowInfo WaitForMainWindow() {
        std::optional<WindowInfo> window;
        EXPECT_TRUE(WaitUntil([&] { return (window = MainWindow()).has_value(); }, 20s))
            << "the main window did not appear; Duplora "
            << (program_.Running() ? "runs" : "has ended") << ", its output:\n"
            << world_.folder.Read("duplora.log");
        return window.value_or(WindowInfo{});
    }
    // Every visible top-level window of the program but tooltips: the main window, a menu, a
    // message box.
    std::vector<WindowInfo> VisibleWindows() const {
        std::vector<WindowInfo> visible;
        std::istringstream ids(
            Capture("xdotool search --onlyvisible --pid " + std::to_string(program_.Pid())));
        for (unsigned long id; ids >> id;)
            if (auto window = Window(id); window && window->topLevel && window->viewable &&
                                          window->width > 1 && !window->Tooltip())
                visible.push_back(*window);
        return visible;
    }
    void Click(int x, int y) {
        const WindowInfo window = WaitForMainWindow();
        ClickAt(window.x + x, window.y + y);
    }
    ScreenState Screen() {
        const auto window = MainWindow();
        return window ? ReadScreen(window->id, world_.folder.Host("shot.png")) : ScreenState{};
    }
    // Waits for the run started by a click to end: the batch file has run `batchRuns` times in
    // all and the screen shows four Ok and the closing line, or a step shows Error.
    // Waits until a run has ended: failed, or complete with `batchRuns` runs of the batch file
    // in all. After a run that failed, `before` is what the screen showed then: until the click's
    // run has begun, the screen still shows that run's end.
    ScreenState WaitForRunEnd(int batchRuns, const ScreenState* before = nullptr) {
        ScreenState screen;
        const bool ended = WaitUntil(
            [&] {
                screen = Screen();
                if (before && screen.text == before->text) return false;
                const bool failed =
                    std::count(screen.steps.begin(), screen.steps.end(), "Error") > 0;
                const bool complete = world_.BatchRuns() == batchRuns && screen.closingLine &&
                                      screen.steps == std::vector<std::string>(4, "Ok");
                return failed || complete;
            },
            60s);
        EXPECT_TRUE(ended) << "the run did not end; the screen shows:\n" << screen.text;
        return screen;
    }
    ChildProcess& Program() { return program_; }

private:
    World& world_;
    ChildProcess program_;
};

const std::vector<std::string> kAllOk(4, "Ok");
const std::vector<std::string> kAllError(4, "Error");
const std::vector<std::string> kAllPending(4, "Pending");

class DuploraE2E : public ::testing::Test {
protected:
    TestFolder logs;
    VirtualDisplay display{logs.Host()};
};

// A source file and where its copy must be, with the time the copy must carry: the source's
// local time cut to the even second below, as the MS-DOS form keeps it.
struct Mirrored {
    std::string source;
    std::string copy;
    std::chrono::system_clock::time_point time;
};

const Mirrored kMirrored[] = {
    {kServerC + "Tavix/Sonvira/Player.ini", kLocalC + "Tavix/Sonvira/Player.ini", At(10, 0, 6)},
    {kServerC + "Tavix/Sonvira/Plugins/Efeitos/Eco.dll",
     kLocalC + "Tavix/Sonvira/Plugins/Efeitos/Eco.dll", At(9, 15, 32)},
    {kServerC + "Tavix/Relatorios/2025-05.txt", kLocalC + "Tavix/Relatorios/2025-05.txt",
     At(23, 59, 58)},
    {kServerC + "Tavix/.lock", kLocalC + "Tavix/.lock", At(8, 0, 0)},
    {kServerD + "Musicas/Rock/Faixa 01.mp3", kLocalD + "Musicas/Rock/Faixa 01.mp3", At(11, 30, 44)},
    {kServerD + "Musicas/Rock/Faixa 02.mp3", kLocalD + "Musicas/Rock/Faixa 02.mp3", At(11, 31, 2)},
    // Pas_Path without its final backslash: the copy goes one folder up (D:\Musicas\).
    {kServerD + "Musicas/Pop/Sucesso.mp3", kLocalD + "Musicas/Sucesso.mp3", At(12, 0, 10)},
    {kServerD + "Vinhetas/Vinheta 01.mp3", kLocalD + "Vinhetas/Vinheta 01.mp3", At(7, 7, 6)},
};

void ExpectMirrored(const World& world, const Mirrored& file) {
    SCOPED_TRACE(file.copy);
    ASSERT_TRUE(world.folder.Exists(file.copy));
    EXPECT_EQ(world.folder.Read(file.copy), world.folder.Read(file.source));
    EXPECT_EQ(world.folder.Time(file.copy), file.time);
}

TEST_F(DuploraE2E, BackupFromTheStartButtonMirrorsNewerFilesAndClosingSavesTheSchedule) {
    World world;
    DuploraSession duplora(world, display);
    duplora.WaitForMainWindow();
    EXPECT_EQ(duplora.Screen().steps, kAllPending);

    // First run: everything newer is copied.
    duplora.Click(kStartX, kStartY);
    ScreenState screen = duplora.WaitForRunEnd(1);
    EXPECT_EQ(screen.steps, kAllOk) << screen.text;
    EXPECT_TRUE(screen.closingLine) << screen.text;
    for (const Mirrored& file : kMirrored) ExpectMirrored(world, file);
    // A newer file of the standby machine is left alone, nothing is deleted, the hidden folder
    // and the music folder's subfolder are not mirrored, the batch file copied the database.
    EXPECT_EQ(world.folder.Read(kLocalC + "Tavix/Sonvira/Layout.cfg"), "local layout, newer");
    EXPECT_EQ(world.folder.Time(kLocalC + "Tavix/Sonvira/Layout.cfg"), At(10, 0, 0, 0, 2));
    EXPECT_EQ(world.folder.Read(kLocalC + "Tavix/Sonvira/Anotacoes.txt"), "notes");
    EXPECT_EQ(world.folder.Read(kLocalD + "Musicas/Rock/Antiga.mp3"), "old");
    EXPECT_FALSE(world.folder.Exists(kLocalC + "Tavix/.cache"));
    EXPECT_FALSE(world.folder.Exists(kLocalD + "Musicas/Rock/Ao Vivo"));
    EXPECT_TRUE(world.folder.Exists(kLocalC + "Tavix/Sonvira/Tavixdb/TAVIXAUDIO.FDB"));
    EXPECT_EQ(fs::file_size(world.folder.Host(kLocalC + "Tavix/Sonvira/Tavixdb/TAVIXAUDIO.FDB")),
              fs::file_size(world.database));
    EXPECT_EQ(duplora.VisibleWindows().size(), 1u);

    // Second run: nothing is newer, so nothing is copied; a copy edited on the standby machine
    // with its time and size kept shows it.
    const std::string edited = kLocalD + "Musicas/Rock/Faixa 01.mp3";
    const std::string editedContent(300000, 'e');
    world.folder.Write(edited, editedContent, At(11, 30, 44));
    auto before = world.LocalFiles();
    duplora.Click(kStartX, kStartY);
    screen = duplora.WaitForRunEnd(2);
    EXPECT_EQ(screen.steps, kAllOk) << screen.text;
    EXPECT_TRUE(world.folder.Read(edited) == editedContent);
    auto after = world.LocalFiles();
    const std::string databaseCopy = "c:/Tavix/Sonvira/Tavixdb/TAVIXAUDIO.FDB";  // step 3's own
    before.erase(databaseCopy);
    after.erase(databaseCopy);
    EXPECT_EQ(after, before);

    // Third run: a file changed on the server is copied again.
    world.folder.Write(kServerC + "Tavix/Sonvira/Player.ini", "[player]\nvolume=65\n",
                       At(14, 2, 3, 0, 3));
    world.folder.Write(kServerD + "Vinhetas/Vinheta 01.mp3", "new jingle", At(14, 5, 9, 0, 3));
    duplora.Click(kStartX, kStartY);
    screen = duplora.WaitForRunEnd(3);
    EXPECT_EQ(screen.steps, kAllOk) << screen.text;
    ExpectMirrored(world, {kServerC + "Tavix/Sonvira/Player.ini",
                           kLocalC + "Tavix/Sonvira/Player.ini", At(14, 2, 2, 0, 3)});
    ExpectMirrored(world, {kServerD + "Vinhetas/Vinheta 01.mp3",
                           kLocalD + "Vinhetas/Vinheta 01.mp3", At(14, 5, 8, 0, 3)});
    EXPECT_TRUE(world.folder.Read(edited) == editedContent);

    // The user turns the daily run off and closes the window: the schedule is written back.
    duplora.Click(kDiarioX, kDiarioY);
    duplora.Click(kFecharX, kFecharY);
    EXPECT_EQ(duplora.Program().WaitForExit(20s), std::optional<int>(0));
    const std::string ini = world.folder.Read("bin/Duplora.ini");
    EXPECT_NE(ini.find("diario=N"), std::string::npos) << ini;
    EXPECT_NE(ini.find("horario=" + world.dailyTime), std::string::npos) << ini;
    EXPECT_NE(ini.find("CAMINHO=" + world.DatabaseName()), std::string::npos) << ini;
    EXPECT_NE(ini.find("PASTA_SISTEMA=\\\\SRV01\\C\\Tavix"), std::string::npos) << ini;
}

TEST_F(DuploraE2E, UnreachableDatabaseFailsEveryStepSilentlyAndTheWindowStaysUsable) {
    World world(/*databaseReady=*/false);
    DuploraSession duplora(world, display);
    duplora.WaitForMainWindow();

    duplora.Click(kStartX, kStartY);
    ScreenState screen = duplora.WaitForRunEnd(0);
    EXPECT_EQ(screen.steps, kAllError) << screen.text;
    EXPECT_FALSE(screen.closingLine);
    EXPECT_EQ(duplora.VisibleWindows().size(), 1u) << "a second window (a message box?) is shown";
    EXPECT_EQ(world.BatchRuns(), 0);
    EXPECT_FALSE(world.folder.Exists(kLocalC + "Tavix/Sonvira/Player.ini"));

    // The database comes back; the start button works again and the run completes.
    world.PutDatabaseInPlace();
    duplora.Click(kStartX, kStartY);
    const ScreenState failedRun = screen;
    screen = duplora.WaitForRunEnd(1, &failedRun);
    EXPECT_EQ(screen.steps, kAllOk) << screen.text;
    EXPECT_TRUE(screen.closingLine);
    for (const Mirrored& file : kMirrored) ExpectMirrored(world, file);
}

// Closing with a settings file that cannot be written: the message reaches the screen and the
// window stays. Once the file is writable again, the end of the session (SIGTERM, as a logout
// or a service manager sends it) saves the schedule and ends Duplora.
TEST_F(DuploraE2E, ARefusedSaveIsShownAndTheWindowStaysAndSigtermEndsTheSession) {
    World world;
    DuploraSession duplora(world, display);
    duplora.WaitForMainWindow();
    const fs::path ini = world.folder.Host("bin/Duplora.ini");
    fs::permissions(ini, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);

    duplora.Click(kFecharX, kFecharY);
    std::optional<WindowInfo> box;
    EXPECT_TRUE(WaitUntil(
        [&] {
            for (const WindowInfo& window : duplora.VisibleWindows())
                if (window.width != 385 || window.height != 273) box = window;
            return box.has_value();
        },
        10s))
        << "no message box";
    EXPECT_TRUE(duplora.MainWindow().has_value());
    Capture("xdotool key Return");  // the box's OK
    EXPECT_TRUE(WaitUntil([&] { return duplora.VisibleWindows().size() == 1; }, 10s));
    EXPECT_TRUE(duplora.Program().Running());

    fs::permissions(ini, fs::perms::owner_write, fs::perm_options::add);
    duplora.Click(kDiarioX, kDiarioY);  // the daily run off: only saving writes it
    kill(duplora.Program().Pid(), SIGTERM);
    EXPECT_EQ(duplora.Program().WaitForExit(20s), std::optional<int>(0));
    EXPECT_NE(world.folder.Read("bin/Duplora.ini").find("diario=N"), std::string::npos);
}

// On a desktop with a window manager, the close box with a settings file that cannot be written
// (a folder in its place, or a read-only file): on every try the refusal shows in a box that
// belongs to the main window and stands over it, and the window stays.
TEST_F(DuploraE2E, ARefusedSaveFromTheCloseBoxShowsItsBoxOverTheWindowOnEveryTry) {
    const WindowManager manager(logs.Host());
    World world;
    DuploraSession duplora(world, display);
    const pid_t pid = duplora.Program().Pid();
    std::vector<unsigned long> windows;
    ASSERT_TRUE(
        WaitUntil([&] { return (windows = WindowManager::WindowsOf(pid)).size() == 1; }, 20s))
        << "the main window did not appear";
    const unsigned long main = windows.front();
    const fs::path ini = world.folder.Host("bin/Duplora.ini");
    const std::string content = world.folder.Read("bin/Duplora.ini");

    for (const bool folderInPlace : {true, true, false, false}) {
        SCOPED_TRACE(folderInPlace ? "a folder in the file's place" : "a read-only file");
        if (folderInPlace) {
            fs::remove(ini);
            fs::create_directory(ini);
        } else {
            fs::permissions(
                ini, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                fs::perm_options::remove);
        }
        ClickAt(2, 2);  // the desktop: the window loses the focus before its close box is used
        WindowManager::Close(main);
        EXPECT_TRUE(
            WaitUntil([&] { return (windows = WindowManager::WindowsOf(pid)).size() == 2; }, 10s))
            << "no message box";
        ASSERT_EQ(windows.size(), 2u);
        EXPECT_EQ(windows.front(), main);  // the box stands over the window
        EXPECT_EQ(WindowManager::OwnerOf(windows.back()), main);
        WindowManager::Close(windows.back());  // the box's own close box
        EXPECT_TRUE(WaitUntil([&] { return WindowManager::WindowsOf(pid).size() == 1; }, 10s));
        EXPECT_TRUE(duplora.Program().Running());

        if (folderInPlace) {
            fs::remove(ini);
            world.folder.Write("bin/Duplora.ini", content);
        } else {
            fs::permissions(ini, fs::perms::owner_write, fs::perm_options::add);
        }
    }
    WindowManager::Close(main);  // the file can be written again: the window closes
    EXPECT_EQ(duplora.Program().WaitForExit(20s), std::optional<int>(0));
}

// trayer, a real notification area, hosts the icon; the user clicks it.
TEST_F(DuploraE2E, TrayIconHidesAndShowsTheWindowAndItsMenuBacksUpAndCloses) {
    const TrayHost trayer(logs.Host());
    World world;
    DuploraSession duplora(world, display);
    duplora.WaitForMainWindow();

    // The icon: a window of the program embedded in the notification area, not a top-level one.
    const std::optional<WindowInfo> icon = trayer.WaitForIcon("Duplora", 20s);
    ASSERT_TRUE(icon) << "no icon in the notification area";
    const int iconX = icon->x + icon->width / 2;
    const int iconY = icon->y + icon->height / 2;
    auto visible = [&] { return duplora.MainWindow().has_value(); };
    auto hidden = [&] { return !visible(); };

    // A left click hides the window, the next one shows it again. A user's clicks come apart by
    // more than the double-click time Qt uses on this display; a double click toggles once: its
    // second press is ignored, so the single click after it shows the window again.
    const std::string doubleClickTime =
        Capture(Quoted(DUPLORA_SCREEN_PROBE) + " --double-click-time");
    ASSERT_GT(std::atoi(doubleClickTime.c_str()), 0) << doubleClickTime;
    UserClicks user{std::chrono::milliseconds(std::atoi(doubleClickTime.c_str()))};
    user.Click(iconX, iconY);
    EXPECT_TRUE(WaitUntil(hidden, 10s)) << "the window did not hide";
    user.Click(iconX, iconY);
    EXPECT_TRUE(WaitUntil(visible, 10s)) << "the window did not come back";
    user.DoubleClick(iconX, iconY);
    EXPECT_TRUE(WaitUntil(hidden, 10s)) << "a double click did not hide the window";
    user.Click(iconX, iconY);
    EXPECT_TRUE(WaitUntil(visible, 10s)) << "the window did not come back after a double click";

    // A right click opens the menu: "Iniciar Backup", "Ocultar"/"Restaurar", "Fechar".
    auto openMenu = [&] {
        user.Click(iconX, iconY, 3);
        std::optional<WindowInfo> menu;
        EXPECT_TRUE(WaitUntil(
            [&] {
                for (const WindowInfo& window : duplora.VisibleWindows())
                    if (window.width != 385 || window.height != 273) menu = window;
                return menu.has_value();
            },
            10s))
            << "the menu did not open";
        return menu.value_or(WindowInfo{});
    };
    WindowInfo menu = openMenu();
    ClickAt(menu.x + menu.width / 2, menu.y + menu.height / 2);  // "Ocultar"
    EXPECT_TRUE(WaitUntil(hidden, 10s)) << "\"Ocultar\" did not hide the window";
    menu = openMenu();
    ClickAt(menu.x + menu.width / 2, menu.y + menu.height / 2);  // "Restaurar"
    EXPECT_TRUE(WaitUntil(visible, 10s)) << "\"Restaurar\" did not show the window";
    menu = openMenu();
    ClickAt(menu.x + menu.width / 2, menu.y + 8);  // "Iniciar Backup"
    const ScreenState screen = duplora.WaitForRunEnd(1);
    EXPECT_EQ(screen.steps, kAllOk) << screen.text;
    for (const Mirrored& file : kMirrored) ExpectMirrored(world, file);
    menu = openMenu();
    ClickAt(menu.x + menu.width / 2, menu.y + menu.height - 8);  // "Fechar"
    EXPECT_EQ(duplora.Program().WaitForExit(20s), std::optional<int>(0))
        << "\"Fechar\" did not end Duplora";
    EXPECT_NE(world.folder.Read("bin/Duplora.ini").find("diario=S"), std::string::npos);
}

}  // namespace
