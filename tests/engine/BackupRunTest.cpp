// Whole backup runs on real folders and a real embedded Firebird database, with the window
// faked by a recording view.

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "common/SilentAbort.h"
#include "database/TavixDatabase.h"
#include "engine/BackupRun.h"
#include "engine/DateTime.h"
#include "engine/PathMapping.h"
#include "support/BackupWorld.h"
#include "support/FixedClock.h"
#include "support/RecordingView.h"
#include "support/TestFolder.h"

namespace {

using enum StepState;
using Steps = std::array<StepState, 4>;
constexpr std::time_t kFinishedAt = 1767225600 + 13 * 3600 + 5 * 60 + 9;  // 2026-01-01 13:05:09 UTC

// The backup world with the run on a recording view.
struct World : BackupWorld {
    World() {
        database.DB_Tavix.SetDatabaseName(db->EmbeddedName());
        clock.now = kFinishedAt;
        run.SystemFolder = kSystemFolder;
    }

    void MakeDatabase(const std::string& columnType,
                      const FirebirdTestDatabase::Rows& rows) override {
        BackupWorld::MakeDatabase(columnType, rows);
        database.DB_Tavix.SetDatabaseName(db->EmbeddedName());
    }

    // True when the run completed, false when it ended by SilentAbort.
    bool RunBackup() {
        try {
            run.btnIniciarBackupClick();
            return true;
        } catch (const SilentAbort&) {
            return false;
        }
    }

    // Makes the walk fail inside the mirror (not the size count) of `step`.
    void FailMirrorOfStep(int step) {
        view.onProcessMessages = [this, step, textsBefore = std::size_t{0}]() mutable {
            if (view.steps[step - 1] != Processing) {
                textsBefore = view.progressTexts.size();
                return;
            }
            if (view.progressTexts.size() > textsBefore) throw std::runtime_error("walk broken");
        };
    }

    RecordingView view;
    TavixDatabase database;
    FixedClock clock;
    BackupRun run{view, database, clock};
};

}  // namespace

TEST(BackupRunTest, ACompleteRunCopiesEverythingAndEndsWithTheClosingLine) {
    World w;
    TestFolder& folder = w.folder;
    RecordingView& view = w.view;
    ControlStates duringRun{true, true, true, true};
    view.onProcessMessages = [&] { duringRun = view.controls; };

    ASSERT_TRUE(w.RunBackup());

    EXPECT_EQ(folder.Read("dosdevices/c:/Tavix/Sonvira/player.ini"), "player");
    EXPECT_EQ(folder.Time("dosdevices/c:/Tavix/Sonvira/player.ini"), BackupWorld::kSourceTime);
    EXPECT_TRUE(w.Copied("c:/Tavix/.hidden-file"));
    EXPECT_FALSE(w.Copied("c:/Tavix/.hidden-folder"));
    EXPECT_TRUE(w.Copied("d:/Musicas/Rock/a.mp3"));
    EXPECT_TRUE(w.Copied("d:/Musicas/b.mp3"));  // \\SRV01\D\Musicas\Pop goes into D:\Musicas\ .
    EXPECT_EQ(folder.Read("current/batch-ran.txt"), "ran\n");

    EXPECT_EQ(view.steps, (Steps{Ok, Ok, Ok, Ok}));
    EXPECT_EQ(view.progressText, "Backup finalizado as " + FormatGeneralDateTime(kFinishedAt));
    EXPECT_EQ(view.destinationText, "");
    EXPECT_EQ(view.trayPictures, (std::vector{TrayPicture::Busy, TrayPicture::Idle}));
    EXPECT_EQ(duringRun, (ControlStates{false, false, false, false}));
    EXPECT_EQ(view.controls, (ControlStates{true, true, true, true}));
    EXPECT_FALSE(w.database.DB_Tavix.Connected());
    // The last music folder's walk ends with the bar full.
    EXPECT_DOUBLE_EQ(view.bars.back().position, view.bars.back().maximum);
}

TEST(BackupRunTest, EveryWayARunEndsLeavesItsStatesAndRestoresTheControls) {
    struct Scenario {
        const char* name;
        std::function<void(World&)> setUp;
        bool completes;
        Steps steps;
        std::optional<std::string> progressText;  // nullopt: not checked
    };
    const std::string untouched = "           ";
    const Scenario scenarios[] = {
        {"database unreachable at step 1",
         [](World& t) { t.database.DB_Tavix.SetDatabaseName(t.folder.Path("missing.fdb")); },
         false,
         {Error, Error, Error, Error},
         untouched},
        {"system folder walk fails",
         [](World& t) { t.FailMirrorOfStep(2); },
         false,
         {Ok, Error, Error, Error},
         std::nullopt},
        {"batch file missing",
         [](World& t) { std::filesystem::remove(t.folder.Host("current/Duplora.bat")); },
         true,
         {Ok, Ok, Ok, Ok},
         std::nullopt},
        {"database moved away by the batch file",
         [](World& t) {
             t.folder.Write("current/Duplora.bat",
                            "mv '" + t.db->File() + "' '" + t.db->File() + ".moved'\n");
         },
         false,
         {Ok, Ok, Processing, Pending},
         "Não foi possível conectar com o banco de dados"},
        {"database moved away, music unticked",
         [](World& t) {
             t.view.options[StepOption::CopyMusicFolders] = false;
             t.folder.Write("current/Duplora.bat",
                            "mv '" + t.db->File() + "' '" + t.db->File() + ".moved'\n");
         },
         false,
         {Ok, Ok, Processing, Pending},
         "Não foi possível conectar com o banco de dados"},
        {"folder query fails",
         [](World& t) { t.MakeDatabase("", {}); },
         false,
         {Ok, Ok, Ok, Error},
         std::nullopt},
        {"empty Pas_Path",
         [](World& t) { t.MakeDatabase("VARCHAR(255)", {""}); },
         false,
         {Ok, Ok, Ok, Error},
         std::nullopt},
        {"null Pas_Path",
         [](World& t) { t.MakeDatabase("VARCHAR(255)", {std::nullopt}); },
         false,
         {Ok, Ok, Ok, Error},
         std::nullopt},
        {"music folder walk fails",
         [](World& t) { t.FailMirrorOfStep(4); },
         false,
         {Ok, Ok, Ok, Error},
         std::nullopt},
    };
    for (const Scenario& s : scenarios) {
        SCOPED_TRACE(s.name);
        World w;
        s.setUp(w);
        EXPECT_EQ(w.RunBackup(), s.completes);
        EXPECT_EQ(w.view.steps, s.steps);
        if (s.progressText) {
            EXPECT_EQ(w.view.progressText, *s.progressText);
        }
        EXPECT_EQ(w.view.controls, (ControlStates{true, true, true, true}));
        EXPECT_EQ(w.view.trayPictures.back(), TrayPicture::Idle);
    }
}

TEST(BackupRunTest, WithEveryOptionClearedItOnlyConnectsAndEndsOk) {
    World w;
    for (auto& [option, checked] : w.view.options) checked = false;
    ASSERT_TRUE(w.RunBackup());
    EXPECT_EQ(w.view.steps, (Steps{Ok, Ok, Ok, Ok}));
    EXPECT_FALSE(w.Copied("c:/Tavix") || w.Copied("d:/Musicas") ||
                 w.folder.Exists("current/batch-ran.txt"));
    EXPECT_TRUE(w.view.bars.empty());
    EXPECT_EQ(w.view.progressText, "Backup finalizado as " + FormatGeneralDateTime(kFinishedAt));
}

TEST(BackupRunTest, AnOptionClearedDuringTheRunAffectsTheStepsStillToCome) {
    World w;
    w.view.onProcessMessages = [&] {
        if (w.view.steps[1] == Processing) w.view.options[StepOption::CopyMusicFolders] = false;
    };
    ASSERT_TRUE(w.RunBackup());
    EXPECT_TRUE(w.Copied("c:/Tavix/Sonvira/player.ini"));
    EXPECT_FALSE(w.Copied("d:/Musicas"));
    EXPECT_EQ(w.view.steps, (Steps{Ok, Ok, Ok, Ok}));
}

TEST(BackupRunTest, AnEmptyFolderListLeavesTheProgressDisplayAlone) {
    World w;
    w.MakeDatabase("VARCHAR(255)", {});
    std::size_t textsAtStep4 = 0;
    w.view.onProcessMessages = [&] { textsAtStep4 = w.view.progressTexts.size(); };
    ASSERT_TRUE(w.RunBackup());
    EXPECT_EQ(w.view.steps, (Steps{Ok, Ok, Ok, Ok}));
    // Only the closing line follows the system folder's last progress text.
    EXPECT_EQ(w.view.progressTexts.size(), textsAtStep4 + 1);
}

TEST(BackupRunTest, ARunAfterAFailedStep4FindsTheConnectionOpenAndCompletes) {
    World w;
    w.FailMirrorOfStep(4);
    EXPECT_FALSE(w.RunBackup());
    EXPECT_TRUE(w.database.DB_Tavix.Connected());
    w.view.onProcessMessages = nullptr;
    ASSERT_TRUE(w.RunBackup());
    EXPECT_EQ(w.view.steps, (Steps{Ok, Ok, Ok, Ok}));
    EXPECT_FALSE(w.database.DB_Tavix.Connected());
    EXPECT_TRUE(w.Copied("d:/Musicas/b.mp3"));
}

TEST(BackupRunTest, AnUnusableSystemFolderReachesTheCallerAfterTheCleanup) {
    World w;
    w.run.SystemFolder = "\\\\SRV01\\";
    EXPECT_THROW(w.run.btnIniciarBackupClick(), MappingError);
    EXPECT_EQ(w.view.steps, (Steps{Ok, Processing, Pending, Pending}));
    EXPECT_FALSE(w.Copied("c:/Tavix"));
    EXPECT_EQ(w.view.trayPictures.back(), TrayPicture::Idle);
    EXPECT_EQ(w.view.controls, (ControlStates{true, true, true, true}));
}

TEST(BackupRunTest, TheClosingTimeIsLeftOutAtExactlyMidnight) {
    const auto midnight = std::chrono::system_clock::to_time_t(LocalTime(2026, 12, 10, 0, 0, 0));
    const std::string date = FormatGeneralDateTime(midnight);
    EXPECT_EQ(
        FormatGeneralDateTime(midnight + 1), date + " " + [&] {
            char text[64];
            const std::tm local = *std::localtime(&midnight);
            std::tm later = local;
            later.tm_sec = 1;
            std::strftime(text, sizeof text, "%X", &later);
            return std::string(text);
        }());
    EXPECT_EQ(date.find(' '), std::string::npos);
}
