// Whole backup runs on real folders and a real embedded Firebird database, with what the
// window's logic shows of them recorded by a recording window.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <optional>
#include <thread>

#include "common/SilentAbort.h"
#include "database/TavixDatabase.h"
#include "engine/BackupRun.h"
#include "engine/DateTime.h"
#include "engine/PathMapping.h"
#include "platform/Process.h"
#include "support/BackupWorld.h"
#include "support/FirebirdTestServer.h"
#include "support/FixedClock.h"
#include "support/InjectedFault.h"
#include "support/RecordingWindow.h"
#include "support/SmallDisk.h"
#include "support/TestFolder.h"

namespace {

using enum StepState;
constexpr std::time_t kFinishedAt = 1767225600 + 13 * 3600 + 5 * 60 + 9;  // 2026-01-01 13:05:09 UTC

// "dd/mm hh:mm" in local time, as the tray icon's tip gives a moment.
std::string DayAndTime(std::time_t moment) {
    const std::tm local = ToLocalTime(moment);
    char text[16];
    std::strftime(text, sizeof text, "%d/%m %H:%M", &local);
    return text;
}

// The backup world with the run on a recording view, on the process's client library or on
// `client`.
struct World : BackupWorld {
    explicit World(const ClientLibrary& client = ClientLibrary::Process())
        : form{window, clock, folder.Path("bin/Duplora.ini"), client} {
        // The lines counted here are the run's own; where the result goes besides the log is
        // tested with the channels (tests/notify/), whose notes (a machine without a system log)
        // would come between them.
        run.Channels.clear();
        database.DB_Tavix.SetDatabaseName(db->EmbeddedName());
        clock.now = kFinishedAt;
        run.SystemFolder = kSystemFolder;
        folder.MakeFolder("bin");
        run.Report.LogFile = folder.Path("bin/Duplora.log");
    }

    // The log's lines, without their CR LF.
    std::vector<std::string> LogLines() const {
        std::vector<std::string> lines;
        if (!folder.Exists("bin/Duplora.log")) return lines;
        const std::string text = folder.Read("bin/Duplora.log");
        for (std::size_t at = 0, end; (end = text.find("\r\n", at)) != std::string::npos;
             at = end + 2)
            lines.push_back(text.substr(at, end - at));
        return lines;
    }

    void MakeDatabase(const std::string& columnType,
                      const FirebirdTestDatabase::Rows& rows) override {
        BackupWorld::MakeDatabase(columnType, rows);
        database.DB_Tavix.SetDatabaseName(db->EmbeddedName());
    }

    // The run's own line, the last of the log.
    std::string RunLine() const {
        const auto lines = LogLines();
        return lines.empty() ? std::string() : lines.back();
    }

    std::optional<SmallDisk> smallDisk;  // a full drive D:, where a case needs one
    std::optional<InjectedFault> fault;  // a fault no real file gives, where a case needs one
    std::string whyNotHere;              // why a case cannot be set up on this machine

    // True when the run completed, false when it ended by SilentAbort.
    bool RunBackup() {
        try {
            run.Run();
            return true;
        } catch (const SilentAbort&) {
            return false;
        }
    }

    // Makes the walk fail inside the mirror (not the size count) of `step`, "walk broken".
    void FailMirrorOfStep(int step) {
        window.progress.onProcessMessages = [this, step, textsBefore = std::size_t{0}]() mutable {
            if (window.steps[step - 1] != Processing) {
                textsBefore = window.progress.progressTexts.size();
                return;
            }
            if (window.progress.progressTexts.size() > textsBefore)
                throw std::runtime_error("walk broken");
        };
    }

    FixedClock clock;
    RecordingWindow window;
    MainForm form;
    TavixDatabase& database = form.Database;
    BackupRun& run = form.Run;
};

// Links the world's database through `server`, the connection's time-out 2 s instead of 30.
void ReachThroughWithATimeOutOf2s(World& w, const FirebirdTestServer& server) {
    w.database.DB_Tavix.SetDatabaseName(w.db->ServerName(server.Address()));
    std::vector<std::string> params = TavixDatabaseParams();
    std::erase_if(params, [](const std::string& line) { return line.starts_with("connect_"); });
    params.push_back("connect_timeout=2");
    w.database.DB_Tavix.SetParams(params);
}

// Lets a stopped server go on after a minute at the latest, so that a run that waits for it ends
// anyway. ThawNow(), once the run has ended, lets it go on at once and says whether it was still
// held: whether the run ended while the server did not answer.
class ThawAfterAMinute {
public:
    explicit ThawAfterAMinute(pid_t server)
        : thread_([this, server] {
              for (int tenths = 0; tenths < 600 && !thawed_; ++tenths)
                  std::this_thread::sleep_for(std::chrono::milliseconds(100));
              thawed_ = true;
              kill(server, SIGCONT);
          }) {}
    ~ThawAfterAMinute() { ThawNow(); }
    ThawAfterAMinute(const ThawAfterAMinute&) = delete;
    ThawAfterAMinute& operator=(const ThawAfterAMinute&) = delete;

    bool ThawNow() {
        const bool held = !thawed_.exchange(true);
        if (thread_.joinable()) thread_.join();
        return held;
    }

private:
    std::atomic<bool> thawed_ = false;
    std::thread thread_;
};

}  // namespace

TEST(BackupRunTest, ACompleteRunCopiesEverythingAndEndsWithTheClosingLine) {
    World w;
    TestFolder& folder = w.folder;
    RecordingWindow& window = w.window;
    ControlStates duringRun{true, true, true, true};
    window.progress.onProcessMessages = [&] { duringRun = window.Controls(); };

    ASSERT_TRUE(w.RunBackup());

    EXPECT_EQ(folder.Read("dosdevices/c:/Tavix/Sonvira/player.ini"), "player");
    EXPECT_EQ(folder.Time("dosdevices/c:/Tavix/Sonvira/player.ini"), BackupWorld::kSourceTime);
    EXPECT_TRUE(w.Copied("c:/Tavix/.hidden-file"));
    EXPECT_FALSE(w.Copied("c:/Tavix/.hidden-folder"));
    EXPECT_TRUE(w.Copied("d:/Musicas/Rock/a.mp3"));
    EXPECT_TRUE(w.Copied("d:/Musicas/b.mp3"));  // \\SRV01\D\Musicas\Pop goes into D:\Musicas\ .
    EXPECT_EQ(folder.Read("current/batch-ran.txt"), "ran\n");

    EXPECT_EQ(window.steps, EveryStep(Ok));
    EXPECT_EQ(window.progress.progressText,
              "Backup finalizado as " + FormatGeneralDateTime(kFinishedAt));
    EXPECT_EQ(window.progress.destinationText, "");
    EXPECT_EQ(window.trayIcons, (std::vector{Picture::IconBusy, Picture::IconIdle}));
    EXPECT_EQ(duringRun, (ControlStates{false, false, false, false}));
    EXPECT_EQ(window.Controls(), (ControlStates{true, true, true, true}));
    EXPECT_FALSE(w.database.DB_Tavix.Connected());
    // The last music folder's walk ends with the bar full.
    EXPECT_DOUBLE_EQ(window.progress.bars.back().position, window.progress.bars.back().maximum);
}

// How a run ends: the step states, the closing line, the controls and the icon, the run's line in
// the log with the reason a step failed (the database's own text for steps 1 and 4, the system's
// for the others), and the tray icon's tip, which names the failed step until the next run.
TEST(BackupRunTest, EveryWayARunEndsLeavesItsStatesReasonAndTipAndRestoresTheControls) {
    struct Scenario {
        const char* name;
        std::function<void(World&)> setUp;
        bool completes;
        StepStates steps;
        std::optional<std::string> progressText;     // nullopt: not checked
        std::function<std::string(World&)> outcome;  // how the run's line in the log begins
        std::string tip;                             // after the title and ": "
        std::function<void(World&)> afterwards = nullptr;
    };
    const std::string untouched = "           ";
    const auto text = [](std::string outcome) { return [outcome](World&) { return outcome; }; };
    // The database's answer to a file that is not there, as Firebird words it.
    const auto noFile = [](const std::string& file) {
        return "I/O error during \"open\" operation for file \"" + file + "\"";
    };
    const auto noSecondConnection = [&](World& t) {
        return "Backup interrompido no passo 4: Não foi possível conectar com o banco de dados: " +
               noFile(t.db->File());
    };
    const auto moveDatabase = [](World& t) {
        t.folder.Write("current/Duplora.bat",
                       "mv '" + t.db->File() + "' '" + t.db->File() + ".moved'\n");
    };
    const Scenario scenarios[] = {
        {"database unreachable at step 1",
         [](World& t) { t.database.DB_Tavix.SetDatabaseName(t.folder.Path("missing.fdb")); }, false,
         FailedAt(1), untouched,
         [&](World& t) {
             return "Backup interrompido no passo 1: " + noFile(t.folder.Path("missing.fdb"));
         },
         "backup interrompido no passo 1"},
        {"system folder walk fails", [](World& t) { t.FailMirrorOfStep(2); }, false, FailedAt(2),
         std::nullopt, text("Backup interrompido no passo 2: \\\\SRV01\\C\\Tavix\\: walk broken"),
         "backup interrompido no passo 2"},
        {"system folder on a share that is no drive",
         [](World& t) {
             t.folder.Write("dosdevices/unc/srv01/dados/Tavix/player.ini", "player");
             t.run.SystemFolder = "\\\\SRV01\\Dados\\Tavix\\";
         },
         false, FailedAt(2), std::nullopt,
         text("Backup interrompido no passo 2: O compartilhamento \"Dados\" de PASTA_SISTEMA"),
         "backup interrompido no passo 2",
         [](World& t) { EXPECT_FALSE(t.Copied("d:/ados") || t.Copied("d:/Tavix")); }},
        {"system folder setting names no folder",
         [](World& t) { t.run.SystemFolder = "\\\\SRV01\\"; }, false, FailedAt(2), std::nullopt,
         text("Backup interrompido no passo 2: A configuração PASTA_SISTEMA (\"\\\\SRV01\\\")"),
         "backup interrompido no passo 2", [](World& t) { EXPECT_FALSE(t.Copied("c:/Tavix")); }},
        {"batch file missing",
         [](World& t) { std::filesystem::remove(t.folder.Host("current/Duplora.bat")); }, true,
         EveryStep(Ok), std::nullopt, text("Backup finalizado ("), "1 falha no último backup"},
        // The second connection is step 4's: no step is left showing that it runs.
        {"database moved away by the batch file", moveDatabase, false, FailedAt(4),
         "Não foi possível conectar com o banco de dados", noSecondConnection,
         "backup interrompido no passo 4"},
        {"database moved away, music unticked",
         [&](World& t) {
             t.window.checked[StepBox(4)] = false;
             moveDatabase(t);
         },
         false, FailedAt(4), "Não foi possível conectar com o banco de dados", noSecondConnection,
         "backup interrompido no passo 4"},
        {"folder query fails", [](World& t) { t.MakeDatabase("", {}); }, false, FailedAt(4),
         std::nullopt,
         text("Backup interrompido no passo 4: Dynamic SQL Error; SQL error code = -204; Table "
              "unknown; TB_PASTAS"),
         "backup interrompido no passo 4"},
        {"music folder walk fails", [](World& t) { t.FailMirrorOfStep(4); }, false, FailedAt(4),
         std::nullopt,
         text("Backup interrompido no passo 4: \\\\SRV01\\D\\Musicas\\Rock\\: walk broken"),
         "backup interrompido no passo 4"},
    };
    for (const Scenario& s : scenarios) {
        SCOPED_TRACE(s.name);
        World w;
        s.setUp(w);
        EXPECT_EQ(w.RunBackup(), s.completes);
        EXPECT_EQ(w.window.steps, s.steps);
        if (s.progressText) {
            EXPECT_EQ(w.window.progress.progressText, *s.progressText);
        }
        EXPECT_EQ(w.window.Controls(), (ControlStates{true, true, true, true}));
        EXPECT_EQ(w.window.trayIcons.back(), Picture::IconIdle);
        // "<start> a <end>  <how it ended> (<counts>)", one line however the run ended.
        const std::string runLine = w.RunLine();
        const std::string outcome = s.outcome(w);
        EXPECT_EQ(runLine.find("  " + outcome), 30u) << runLine;
        EXPECT_TRUE(runLine.ends_with(" MB copiados)")) << runLine;
        EXPECT_EQ(w.window.trayTip, "Duplora - Tavix Zadododa: " + s.tip);
        if (s.afterwards) s.afterwards(w);
    }
}

TEST(BackupRunTest, ACleanRunLogsOneLineAndKeepsTheClosingLineAndTipAsTheyWere) {
    World w;
    ASSERT_TRUE(w.RunBackup());
    EXPECT_EQ(w.window.progress.progressText,
              "Backup finalizado as " + FormatGeneralDateTime(kFinishedAt));
    EXPECT_EQ(w.window.trayTip,
              "Duplora - Tavix Zadododa: último backup completo em " + DayAndTime(kFinishedAt));
    const auto lines = w.LogLines();
    ASSERT_EQ(lines.size(), 1u);
    // The system folder's two visible files and the two music files; every one of them copied.
    EXPECT_NE(lines[0].find("  Backup finalizado (4 arquivos examinados, 4 copiados, 0 falhas, "),
              std::string::npos)
        << lines[0];
}

// Failures the run goes on after: each is counted, logged with its path and the system's reason,
// and named in the closing line and the tray icon's tip; the steps keep their states.
TEST(BackupRunTest, FailuresAreCountedLoggedAndShownWhileTheStepsKeepTheirStates) {
    struct Failed {
        std::string path;    // as the run names it
        std::string reason;  // empty: any reason, but one
    };
    struct Scenario {
        const char* name;
        std::function<bool(World&)> setUp;  // false: not possible here, World::whyNotHere says why
        std::function<std::vector<Failed>(World&)> failed;  // asked once the run has ended
        std::function<void(World&)> afterwards = nullptr;
    };
    const auto batchFile = [](World&) {
        return std::vector<Failed>{{platform::CurrentDirectory() + "\\Duplora.bat", ""}};
    };
    const std::string rockFile = "\\\\SRV01\\D\\Musicas\\Rock\\a.mp3";
    const auto rockFileFailed = [&](std::string reason) {
        return [&rockFile, reason](World&) { return std::vector<Failed>{{rockFile, reason}}; };
    };
    const auto withFault = [](World& t, InjectedFault::Call call) {
        if (!InjectedFault::Available()) {
            t.whyNotHere = "the fault shim is not preloaded";
            return false;
        }
        t.fault.emplace(call, "/d:/Musicas/Rock/", 0, EPERM);
        return true;
    };
    std::string brokenSubfolder;  // the subfolder whose walk a case breaks off
    const Scenario scenarios[] = {
        {"batch file missing",
         [](World& t) { return std::filesystem::remove(t.folder.Host("current/Duplora.bat")); },
         batchFile},
        {"batch file not startable",
         [](World& t) {
             std::filesystem::remove(t.folder.Host("current/Duplora.bat"));
             t.folder.MakeFolder("current/Duplora.bat");
             return true;
         },
         batchFile},
        // Step 4 still runs: some batch files end with a code that is no error.
        {"batch file ends with an error code",
         [](World& t) {
             t.folder.Write("current/Duplora.bat", "echo ran > batch-ran.txt\nexit 3\n");
             return true;
         },
         [](World&) {
             return std::vector<Failed>{{platform::CurrentDirectory() + "\\Duplora.bat",
                                         "Duplora.bat terminou com o código 3"}};
         }},
        // Not a copy of Duplora's (its time is no MS-DOS time): the standby machine's own.
        {"an older read-only file of the standby machine's own",
         [](World& t) {
             t.folder.Write("dosdevices/d:/Musicas/Rock/a.mp3", "old",
                            LocalTime(2020, 1, 1, 0, 0, 1));
             std::filesystem::permissions(t.folder.Host("dosdevices/d:/Musicas/Rock/a.mp3"),
                                          std::filesystem::perms::owner_read);
             return true;
         },
         rockFileFailed("Access is denied."),
         [](World& t) { EXPECT_EQ(t.folder.Read("dosdevices/d:/Musicas/Rock/a.mp3"), "old"); }},
        {"a copy whose time cannot be set",
         [&](World& t) {
             t.folder.Write("dosdevices/d:/Musicas/Rock/a.mp3", "old",
                            LocalTime(2020, 1, 1, 0, 0, 0));
             return withFault(t, InjectedFault::Call::kSetTime);
         },
         rockFileFailed(
             "a cópia não recebeu a data do servidor e não foi usada: Operation not permitted"),
         [](World& t) {
             EXPECT_EQ(t.folder.Read("dosdevices/d:/Musicas/Rock/a.mp3"), "old");
             EXPECT_EQ(std::distance(std::filesystem::directory_iterator(
                                         t.folder.Host("dosdevices/d:/Musicas/Rock")),
                                     {}),
                       1);
         }},
        {"a copy whose permissions cannot be set",
         [&](World& t) { return withFault(t, InjectedFault::Call::kSetMode); },
         rockFileFailed("a cópia não recebeu as permissões do servidor: Operation not permitted"),
         [](World& t) {
             EXPECT_EQ(t.folder.Read("dosdevices/d:/Musicas/Rock/a.mp3"), std::string(4096, 'a'));
         }},
        {"a named pipe on the server",
         [](World& t) {
             return mkfifo(t.folder.Path("dosdevices/unc/srv01/d/Musicas/Rock/pipe").c_str(),
                           0644) == 0;
         },
         [](World&) {
             return std::vector<Failed>{{"\\\\SRV01\\D\\Musicas\\Rock\\pipe", ""}};
         }},
        {"a file where a local folder must be",
         [](World& t) {
             t.folder.Write("dosdevices/d:/Musicas/Rock", "a file, not a folder");
             return true;
         },
         [&](World&) {
             return std::vector<Failed>{{"D:\\Musicas\\Rock\\", ""}, {rockFile, ""}};
         }},
        // One bad row does not keep the other music folders from the standby machine.
        {"rows without a path",
         [](World& t) {
             t.MakeDatabase("VARCHAR(255)", {std::nullopt, "", "\\\\SRV01\\D\\Musicas\\Rock\\"});
             return true;
         },
         [](World&) {
             return std::vector<Failed>{{"Tb_Pastas, linha 1", "Caminho de pasta vazio"},
                                        {"Tb_Pastas, linha 2", "Caminho de pasta vazio"}};
         },
         [](World& t) { EXPECT_TRUE(t.Copied("d:/Musicas/Rock/a.mp3")); }},
        {"a listed music folder the server does not have",
         [](World& t) {
             t.MakeDatabase("VARCHAR(255)", {"\\\\SRV01\\D\\Nada\\", "\\\\SRV01\\D\\Musicas\\Pop"});
             return true;
         },
         [](World&) {
             return std::vector<Failed>{
                 {"\\\\SRV01\\D\\Nada\\", "pasta não encontrada no servidor"}};
         }},
        {"a full disk",
         [](World& t) {
             t.folder.Write("dosdevices/unc/srv01/d/Musicas/Rock/a.mp3",
                            std::string(256 * 1024, 'a'), BackupWorld::kSourceTime);
             const SmallDisk& disk = t.smallDisk.emplace(t.folder.Path("dosdevices/d:"));
             t.whyNotHere = disk.WhyNot();
             return disk.Mounted();
         },
         [&](World&) {
             return std::vector<Failed>{{rockFile, ""}};
         }},
        // The walk of the first subfolder entered breaks off after its first file; the system
        // folder's walk goes on with the next subfolder.
        {"a subfolder's walk breaks off",
         [&](World& t) {
             t.folder.Write("dosdevices/unc/srv01/c/Tavix/Sonvira/skin.ini", "s",
                            BackupWorld::kSourceTime);
             t.folder.Write("dosdevices/unc/srv01/c/Tavix/Zeta/z.ini", "z",
                            BackupWorld::kSourceTime);
             t.folder.Write("dosdevices/unc/srv01/c/Tavix/Zeta/z2.ini", "z",
                            BackupWorld::kSourceTime);
             brokenSubfolder.clear();
             t.window.progress.onProcessMessages = [&t, &brokenSubfolder] {
                 const std::string& shown = t.window.progress.destinationText;
                 const std::string top = "C:\\Tavix\\";
                 const std::size_t below = shown.find('\\', top.size());
                 if (!brokenSubfolder.empty() || !shown.starts_with(top) ||
                     below == std::string::npos)
                     return;
                 brokenSubfolder = shown.substr(top.size(), below - top.size());
                 throw std::runtime_error("walk broken");
             };
             return true;
         },
         [&](World&) {
             return std::vector<Failed>{
                 {"\\\\SRV01\\C\\Tavix\\" + brokenSubfolder + "\\", "walk broken"}};
         },
         [&](World& t) {
             const bool zetaFirst = brokenSubfolder == "Zeta";
             EXPECT_TRUE(zetaFirst || brokenSubfolder == "Sonvira") << brokenSubfolder;
             EXPECT_TRUE(zetaFirst
                             ? t.Copied("c:/Tavix/Sonvira/player.ini") &&
                                   t.Copied("c:/Tavix/Sonvira/skin.ini")
                             : t.Copied("c:/Tavix/Zeta/z.ini") && t.Copied("c:/Tavix/Zeta/z2.ini"));
         }},
        // The size count only sets the bar's maximum: the mirror still copies the folder.
        {"the size count of the system folder breaks off",
         [](World& t) {
             t.window.progress.onProcessMessages = [&t, thrown = false]() mutable {
                 if (thrown || t.window.steps[1] != Processing || !t.window.progress.bars.empty())
                     return;
                 thrown = true;
                 throw std::runtime_error("count broken");
             };
             return true;
         },
         [](World&) {
             return std::vector<Failed>{{"\\\\SRV01\\C\\Tavix\\", "count broken"}};
         },
         [](World& t) { EXPECT_TRUE(t.Copied("c:/Tavix/Sonvira/player.ini")); }},
    };
    std::string notRunHere;  // the cases this machine cannot set up, each with its reason
    for (const Scenario& s : scenarios) {
        SCOPED_TRACE(s.name);
        World w;
        if (!s.setUp(w)) {
            notRunHere +=
                std::string(notRunHere.empty() ? "" : "; ") + s.name + ": " + w.whyNotHere;
            continue;
        }
        ASSERT_TRUE(w.RunBackup());
        w.fault.reset();
        const std::vector<Failed> failed = s.failed(w);
        const int count = static_cast<int>(failed.size());
        EXPECT_EQ(w.window.steps, EveryStep(Ok));
        EXPECT_EQ(w.run.Report.Failures(), count);
        const std::string counted = FailureCountText(count);
        EXPECT_EQ(w.window.progress.progressText,
                  "Backup finalizado as " + FormatGeneralDateTime(kFinishedAt) + " - " + counted);
        EXPECT_EQ(w.window.trayTip, "Duplora - Tavix Zadododa: " + counted + " no último backup");
        const auto lines = w.LogLines();
        ASSERT_EQ(lines.size(), failed.size() + 1);
        for (std::size_t i = 0; i < failed.size(); ++i) {
            const std::string failure = "  Falha: " + failed[i].path + ": ";
            const std::size_t at = lines[i].find(failure);
            ASSERT_NE(at, std::string::npos) << lines[i];
            const std::string reason = lines[i].substr(at + failure.size());
            EXPECT_FALSE(reason.empty()) << lines[i];
            if (!failed[i].reason.empty()) {
                EXPECT_EQ(reason, failed[i].reason);
            }
        }
        EXPECT_NE(lines.back().find(", " + counted + ", "), std::string::npos) << lines.back();
        if (s.afterwards) s.afterwards(w);
    }
    if (!notRunHere.empty()) GTEST_SKIP() << "the other cases ran; not here: " << notRunHere;
}

TEST(BackupRunTest, TheLogKeepsOneOldFileOnceItPassesItsLimit) {
    World w;
    w.folder.Write("bin/Duplora.log", std::string(RunReport::kLogLimit, 'x'));
    w.folder.Write("bin/Duplora.log.1", "the oldest");
    ASSERT_TRUE(w.RunBackup());
    EXPECT_EQ(w.folder.Read("bin/Duplora.log.1").size(), RunReport::kLogLimit);
    EXPECT_EQ(w.LogLines().size(), 1u);

    // A log that cannot be written loses its lines and stops nothing.
    World unwritable;
    unwritable.run.Report.LogFile = unwritable.folder.Path("no-such-folder/Duplora.log");
    EXPECT_TRUE(unwritable.RunBackup());
    EXPECT_EQ(unwritable.window.steps, EveryStep(Ok));
}

TEST(BackupRunTest, WithEveryOptionClearedItOnlyConnectsAndEndsOk) {
    World w;
    for (const ControlId box : {StepBox(2), StepBox(3), StepBox(4)}) w.window.checked[box] = false;
    ASSERT_TRUE(w.RunBackup());
    EXPECT_EQ(w.window.steps, EveryStep(Ok));
    EXPECT_FALSE(w.Copied("c:/Tavix") || w.Copied("d:/Musicas") ||
                 w.folder.Exists("current/batch-ran.txt"));
    EXPECT_TRUE(w.window.progress.bars.empty());
    EXPECT_EQ(w.window.progress.progressText,
              "Backup finalizado as " + FormatGeneralDateTime(kFinishedAt));
}

TEST(BackupRunTest, AnOptionClearedDuringTheRunAffectsTheStepsStillToCome) {
    World w;
    w.window.progress.onProcessMessages = [&] {
        if (w.window.steps[1] == Processing) w.window.checked[StepBox(4)] = false;
    };
    ASSERT_TRUE(w.RunBackup());
    EXPECT_TRUE(w.Copied("c:/Tavix/Sonvira/player.ini"));
    EXPECT_FALSE(w.Copied("d:/Musicas"));
    EXPECT_EQ(w.window.steps, EveryStep(Ok));
}

TEST(BackupRunTest, AnEmptyFolderListLeavesTheProgressDisplayAlone) {
    World w;
    w.MakeDatabase("VARCHAR(255)", {});
    std::size_t textsAtStep4 = 0;
    w.window.progress.onProcessMessages = [&] {
        textsAtStep4 = w.window.progress.progressTexts.size();
    };
    ASSERT_TRUE(w.RunBackup());
    EXPECT_EQ(w.window.steps, EveryStep(Ok));
    // Only the closing line follows the system folder's last progress text.
    EXPECT_EQ(w.window.progress.progressTexts.size(), textsAtStep4 + 1);
}

TEST(BackupRunTest, ARunAfterAFailedStep4FindsTheConnectionOpenAndCompletes) {
    World w;
    w.FailMirrorOfStep(4);
    EXPECT_FALSE(w.RunBackup());
    EXPECT_TRUE(w.database.DB_Tavix.Connected());
    w.window.progress.onProcessMessages = nullptr;
    ASSERT_TRUE(w.RunBackup());
    EXPECT_EQ(w.window.steps, EveryStep(Ok));
    EXPECT_FALSE(w.database.DB_Tavix.Connected());
    EXPECT_TRUE(w.Copied("d:/Musicas/b.mp3"));
}

// A connection left open by a failed step 4 whose server then went away: step 1 of the next run
// reaches for the server and fails while it is down, and connects anew once one answers.
TEST(BackupRunTest, Step1AfterALostConnectionShowsWhetherTheServerAnswersNow) {
    World w;
    std::optional<FirebirdTestServer> server;
    server.emplace(w.folder);
    w.database.DB_Tavix.SetDatabaseName(w.db->ServerName(server->Address()));
    w.FailMirrorOfStep(4);
    EXPECT_FALSE(w.RunBackup());
    ASSERT_TRUE(w.database.DB_Tavix.Connected());
    w.window.progress.onProcessMessages = nullptr;

    server->Kill();
    EXPECT_FALSE(w.RunBackup());
    EXPECT_EQ(w.window.steps, FailedAt(1));
    EXPECT_FALSE(w.database.DB_Tavix.Connected());

    TestFolder elsewhere;
    server.reset();
    server.emplace(elsewhere);
    w.database.DB_Tavix.SetDatabaseName(w.db->ServerName(server->Address()));
    EXPECT_TRUE(w.RunBackup());
    EXPECT_EQ(w.window.steps, EveryStep(Ok));
}

// A server that stops answering (a hung machine: here a private server frozen with SIGSTOP) ends
// step 1 once the connection's time-out has passed, with the client's reason in the log, and
// leaves the controls ready for the next run. The run's own time-out is 30 s; this run asks for
// 2 s. Should the time-out not hold, the server is woken after a minute, and the run then ends
// with the connection made instead.
TEST(BackupRunTest, AServerThatDoesNotAnswerEndsStep1WithItsReason) {
    World w;
    FirebirdTestServer server(w.folder);
    ReachThroughWithATimeOutOf2s(w, server);

    ASSERT_EQ(kill(server.Pid(), SIGSTOP), 0);
    ThawAfterAMinute thaw(server.Pid());
    const bool completed = w.RunBackup();
    const bool endedWhileFrozen = thaw.ThawNow();

    EXPECT_TRUE(endedWhileFrozen);
    EXPECT_FALSE(completed);
    EXPECT_EQ(w.window.steps, FailedAt(1));
    EXPECT_EQ(w.window.Controls(), (ControlStates{true, true, true, true}));
    // The client's own text ("connection rejected by remote interface") does not say why.
    const std::string runLine = w.RunLine();
    EXPECT_NE(runLine.find("  Backup interrompido no passo 1: "), std::string::npos) << runLine;
    EXPECT_NE(runLine.find("; o servidor não respondeu em 2 s ("), std::string::npos) << runLine;
    EXPECT_EQ(w.window.trayTip, "Duplora - Tavix Zadododa: backup interrompido no passo 1");
}

// The client library as a client that finds its server gone behaves: the detach lets go of the
// connection and reports the loss.
ISC_STATUS DetachReportingTheLoss(ISC_STATUS* status, isc_db_handle* handle) {
    ClientLibrary::Process().isc_detach_database(status, handle);
    status[0] = isc_arg_gds;
    status[1] = isc_lost_db_connection;
    status[2] = isc_arg_end;
    return status[1];
}

// A connection that does not close cleanly, after step 1 or at the end, is closed by force: the
// copies stand, so the run completes and counts each failure, and no message box waits for a
// user in front of an unattended standby machine.
TEST(BackupRunTest, AConnectionThatDoesNotCloseIsAFailureOfACompleteRunAndShowsNoBox) {
    ClientLibrary client = ClientLibrary::Process();
    client.isc_detach_database = DetachReportingTheLoss;
    World w(client);
    w.form.btnIniciarBackupClick();

    EXPECT_TRUE(w.window.boxes.empty());
    EXPECT_EQ(w.window.steps, EveryStep(Ok));
    EXPECT_FALSE(w.database.DB_Tavix.Connected());
    EXPECT_TRUE(w.Copied("d:/Musicas/b.mp3"));
    EXPECT_EQ(w.window.progress.progressText,
              "Backup finalizado as " + FormatGeneralDateTime(kFinishedAt) + " - 2 falhas");
    const auto lines = w.LogLines();
    ASSERT_EQ(lines.size(), 3u);
    for (const int i : {0, 1}) {
        EXPECT_TRUE(lines[i].ends_with("  Falha: " + w.db->EmbeddedName() +
                                       ": connection lost to database"))
            << lines[i];
    }
    EXPECT_NE(lines[2].find("  Backup finalizado ("), std::string::npos) << lines[2];
    EXPECT_NE(lines[2].find(", 2 falhas, "), std::string::npos) << lines[2];
}

// A server that stops answering in the middle of step 4 (here a private server frozen with
// SIGSTOP while the first music folder is copied) ends the step once the connection's time-out has
// passed (the run asks for 2 s), with the reason, and leaves the controls ready for the next run.
// The folder list is long enough for the client to ask the server for more rows. Should the
// time-out not hold, the server is woken after a minute.
TEST(BackupRunTest, AServerThatFreezesDuringStep4EndsTheStepAfterTheTimeOut) {
    World w;
    w.MakeDatabase("VARCHAR(255)",
                   FirebirdTestDatabase::Rows(2000, "\\\\SRV01\\D\\Musicas\\Rock\\"));
    FirebirdTestServer server(w.folder);
    ReachThroughWithATimeOutOf2s(w, server);
    bool frozen = false;
    w.window.progress.onProcessMessages = [&] {
        if (frozen || w.window.steps[3] != Processing) return;
        frozen = true;
        ASSERT_EQ(kill(server.Pid(), SIGSTOP), 0);
    };
    ThawAfterAMinute thaw(server.Pid());
    const bool completed = w.RunBackup();
    const bool endedWhileFrozen = thaw.ThawNow();

    EXPECT_TRUE(frozen);
    EXPECT_TRUE(endedWhileFrozen);
    EXPECT_FALSE(completed);
    EXPECT_EQ(w.window.steps, FailedAt(4));
    EXPECT_EQ(w.window.Controls(), (ControlStates{true, true, true, true}));
    const std::string runLine = w.RunLine();
    EXPECT_NE(runLine.find("  Backup interrompido no passo 4: "), std::string::npos) << runLine;
    EXPECT_NE(runLine.find("o servidor não respondeu em 2 s ("), std::string::npos) << runLine;
}

TEST(BackupRunTest, TheClosingTimeIsLeftOutAtExactlyMidnight) {
    // The closing line follows the user's locale; the C locale gives texts known beforehand.
    const std::string userLocale = std::getenv("LC_ALL") ? std::getenv("LC_ALL") : "";
    setenv("LC_ALL", "C", 1);
    const auto midnight = std::chrono::system_clock::to_time_t(LocalTime(2026, 12, 10, 0, 0, 0));
    const std::string atMidnight = FormatGeneralDateTime(midnight);
    const std::string aSecondLater = FormatGeneralDateTime(midnight + 1);
    if (userLocale.empty())
        unsetenv("LC_ALL");
    else
        setenv("LC_ALL", userLocale.c_str(), 1);
    EXPECT_EQ(atMidnight, "12/10/26");
    EXPECT_EQ(aSecondLater, "12/10/26 00:00:01");
}
