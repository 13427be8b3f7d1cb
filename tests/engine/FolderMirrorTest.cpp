#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <functional>
#include <iterator>
#include <optional>
#include <set>
#include <vector>

#ifndef _WIN32
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>
#endif

#include "engine/DateTime.h"
#include "engine/FolderMirror.h"
#include "engine/FolderSize.h"
#include "engine/RunReport.h"
#include "funcoes/U_Funcoes.h"
#include "support/FixedClock.h"
#include "support/RecordingView.h"
#include "support/TestFolder.h"

#ifndef _WIN32
#include "platform/posix/HostPath.h"
#include "support/FuseFolder.h"
#include "support/InjectedFault.h"
#include "support/WatchedCalls.h"
#endif

namespace {

const auto kSourceTime = LocalTime(2024, 3, 10, 14, 20, 30);

class FolderMirrorTest : public ::testing::Test {
protected:
    bool Mirror(const std::string& source, const std::string& destination, bool recursive = true) {
        return bool(mirror.MirrorFolder(folder.Path(source), folder.Path(destination), recursive));
    }
    // Overwrites a copy's content with as many bytes of "#" and keeps its time, so a later copy
    // would show.
    void Mark(const std::string& relative) {
        const auto time = folder.Time(relative);
        folder.Write(relative, std::string(folder.Read(relative).size(), '#'), time);
    }

    TestFolder folder;
    RecordingView view;
    FolderMirror mirror{view};
};

}  // namespace

// A copy as old as the server's file at the two seconds of the MS-DOS time is up to date unless
// its size differs: the server's file was then written again within the two seconds of its copy.
TEST_F(FolderMirrorTest, CopiesWhatIsMissingOlderAtTwoSecondResolutionOrAsOldOfAnotherSize) {
    using std::chrono::seconds;
    const auto sourceTime = LocalTime(2024, 3, 10, 14, 20, 31);  // MS-DOS form: 14:20:30
    const std::string source = "new content";
    struct Case {
        const char* name;
        std::optional<seconds> destinationOffset;  // nullopt: no destination file
        std::string content;                       // of the destination
        bool copied;
    };
    const std::string sameSize = "old content";
    const Case cases[] = {
        {"missing", std::nullopt, "", true},
        {"same time", seconds(0), sameSize, false},
        {"one second older, same even second", seconds(-1), sameSize, false},
        {"same time, another size", seconds(0), "old", true},
        {"same even second, another size", seconds(-1), "old content, longer", true},
        {"two seconds older", seconds(-2), sameSize, true},
        {"a day older", seconds(-86400), sameSize, true},
        {"newer", seconds(10), sameSize, false},
        {"newer, another size", seconds(10), "old", false},
    };
    for (const Case& c : cases) {
        folder.Write(std::string("src/") + c.name, source, sourceTime);
        if (c.destinationOffset)
            folder.Write(std::string("dst/") + c.name, c.content,
                         sourceTime + *c.destinationOffset);
    }
    ASSERT_TRUE(Mirror("src", "dst"));
    for (const Case& c : cases) {
        const std::string destination = std::string("dst/") + c.name;
        EXPECT_EQ(folder.Read(destination), c.copied ? source : c.content) << c.name;
        if (c.copied) {
            EXPECT_EQ(folder.Time(destination), sourceTime - seconds(1)) << c.name;
        }
    }
}

TEST_F(FolderMirrorTest, ASecondRunCopiesNothing) {
    folder.Write("src/a.txt", "a", kSourceTime);
    folder.Write("src/sub/b.txt", "b", kSourceTime + std::chrono::seconds(1));
    ASSERT_TRUE(Mirror("src", "dst"));
    Mark("dst/a.txt");
    Mark("dst/sub/b.txt");
    ASSERT_TRUE(Mirror("src", "dst"));
    EXPECT_EQ(folder.Read("dst/a.txt"), "#");
    EXPECT_EQ(folder.Read("dst/sub/b.txt"), "#");
}

// In a database folder a file goes in as NOVO_<name> and is then renamed, never overwriting. A
// newer copy left beside a live file waits there: the log names it on every run, and it is not
// counted as copied.
TEST_F(FolderMirrorTest, DatabaseFolderOutcomes) {
    struct Case {
        const char* name;
        bool finalPresent;
        bool newCopyPresent;
        const char* finalAfter;    // content afterwards; nullptr: missing
        const char* newCopyAfter;  // content of NOVO_<name> afterwards; nullptr: missing
        int runsWaiting;           // of two runs, those after which NOVO_<name> waits
    };
    const Case cases[] = {
        {"both-missing.fdb", false, false, "source", nullptr, 0},
        // The earlier copy takes the final name; it is older than the source, so the second run
        // leaves a new copy waiting beside it.
        {"left-novo.fdb", false, true, "earlier novo", nullptr, 1},
        {"older-final.fdb", true, false, "older final", "source", 2},
        {"older-final-and-novo.fdb", true, true, "older final", "earlier novo", 2},
    };
    const std::string db = "dst/Tavix/Sonvira/Tavixdb";
    for (const Case& c : cases) {
        folder.Write(std::string("src/") + c.name, "source", kSourceTime);
        if (c.finalPresent)
            folder.Write(db + "/" + c.name, "older final", kSourceTime - std::chrono::hours(1));
        if (c.newCopyPresent)
            folder.Write(db + "/NOVO_" + c.name, "earlier novo",
                         kSourceTime - std::chrono::hours(2));
    }
    FixedClock clock;
    RunReport report(clock);
    report.LogFile = folder.Path("Duplora.log");
    mirror.Report = &report;
    for (const int run : {1, 2}) {
        report.Begin();
        ASSERT_TRUE(Mirror("src", db));
        if (run == 1) {
            for (const Case& c : cases) {
                const std::string finalFile = db + "/" + c.name;
                const std::string newCopy = db + "/NOVO_" + c.name;
                EXPECT_EQ(folder.Exists(finalFile) ? folder.Read(finalFile) : "(missing)",
                          c.finalAfter ? c.finalAfter : "(missing)")
                    << c.name;
                EXPECT_EQ(folder.Exists(newCopy) ? folder.Read(newCopy) : "(missing)",
                          c.newCopyAfter ? c.newCopyAfter : "(missing)")
                    << c.name;
            }
        }
        // Only a file put in place by its final name is a copy.
        EXPECT_EQ(report.Copied(), run == 1 ? 2 : 0) << run;
        EXPECT_EQ(report.Waiting(), run == 1 ? 2 : 3) << run;
        EXPECT_EQ(report.Failures(), 0) << run;
    }
    // A line per waiting copy and run: "<time>  Aguardando: <its path>: <why>".
    const std::string log = folder.Read("Duplora.log");
    for (const Case& c : cases) {
        const std::string waiting = "  Aguardando: " + folder.Path(db) + "\\NOVO_" + c.name + ": ";
        int lines = 0;
        for (std::size_t at = log.find(waiting); at != std::string::npos;
             at = log.find(waiting, at + 1))
            ++lines;
        EXPECT_EQ(lines, c.runsWaiting) << c.name << "\n" << log;
    }
    // The platform copy keeps the source's time, so the renamed file is up to date.
    EXPECT_EQ(folder.Time(db + "/both-missing.fdb"), kSourceTime);
}

TEST_F(FolderMirrorTest, DatabaseFolderMarkerIsCaseSensitiveAndReachesSubfolders) {
    for (const char* destination : {"dst1/TAVIXDB", "dst2/tavixdb", "dst3/Tavixdb/below"}) {
        folder.Write(std::string(destination) + "/f.fdb", "older",
                     kSourceTime - std::chrono::hours(1));
        folder.Write("src/f.fdb", "source", kSourceTime);
        ASSERT_TRUE(Mirror("src", destination));
    }
    EXPECT_EQ(folder.Read("dst1/TAVIXDB/f.fdb"), "source");
    EXPECT_EQ(folder.Read("dst2/tavixdb/f.fdb"), "source");
    EXPECT_EQ(folder.Read("dst3/Tavixdb/below/f.fdb"), "older");
    EXPECT_EQ(folder.Read("dst3/Tavixdb/below/NOVO_f.fdb"), "source");
}

TEST_F(FolderMirrorTest, HiddenFilesAreCopiedButHiddenSubfoldersNotEntered) {
    folder.Write("src/.hidden-file", "h", kSourceTime);
    folder.Write("src/.hidden-folder/inside.txt", "i", kSourceTime);
    folder.Write("src/visible/.deep-hidden", "d", kSourceTime);
    ASSERT_TRUE(Mirror("src", "dst"));
    EXPECT_EQ(folder.Read("dst/.hidden-file"), "h");
    EXPECT_EQ(folder.Read("dst/visible/.deep-hidden"), "d");
    EXPECT_FALSE(folder.Exists("dst/.hidden-folder"));
}

// A hidden or system file of the server is copied with its attributes, and its copy then follows
// the server's newer versions: it is Duplora's own copy, which those attributes do not protect.
TEST_F(FolderMirrorTest, AHiddenOrSystemFileOfTheServerFollowsItsNewerVersions) {
    std::vector<std::pair<std::string, std::uint32_t>> files = {{".lock", platform::kAttrHidden}};
#ifdef _WIN32
    files.push_back({"driver.sys", platform::kAttrSystem | platform::kAttrHidden});
#endif
    for (const auto& [name, attributes] : files) {
        folder.Write("src/" + name, "first", kSourceTime);
        platform::SetAttributes(folder.Path("src/" + name), attributes);
    }
    ASSERT_TRUE(Mirror("src", "dst"));
    for (const auto& [name, attributes] : files) {
        EXPECT_EQ(folder.Read("dst/" + name), "first") << name;
        EXPECT_EQ(platform::GetAttributes(folder.Path("dst/" + name)) & attributes, attributes)
            << name;
        folder.Write("src/" + name, "second version", kSourceTime + std::chrono::hours(1));
    }
    FixedClock clock;
    RunReport report(clock);
    mirror.Report = &report;
    ASSERT_TRUE(Mirror("src", "dst"));
    EXPECT_EQ(report.Failures(), 0);
    for (const auto& [name, attributes] : files) {
        EXPECT_EQ(folder.Read("dst/" + name), "second version") << name;
        EXPECT_EQ(platform::GetAttributes(folder.Path("dst/" + name)) & attributes, attributes)
            << name;
    }
}

TEST_F(FolderMirrorTest, WithoutRecursionOnlyTheFolderItself) {
    folder.Write("src/top.txt", "t", kSourceTime);
    folder.Write("src/sub/below.txt", "b", kSourceTime);
    ASSERT_TRUE(Mirror("src", "dst", false));
    EXPECT_TRUE(folder.Exists("dst/top.txt"));
    EXPECT_FALSE(folder.Exists("dst/sub"));
}

TEST_F(FolderMirrorTest, MissingSourceStillCreatesTheDestinationTree) {
    EXPECT_TRUE(Mirror("no-such-source", "dst/a/b/c"));
    EXPECT_TRUE(std::filesystem::is_directory(folder.Host("dst/a/b/c")));
    EXPECT_TRUE(view.walked.empty());
}

TEST_F(FolderMirrorTest, SourceFolderAgainstDestinationFileLeavesTheFileAlone) {
    folder.Write("src/x/inside.txt", "i", kSourceTime);
    folder.Write("dst/x", "a file", kSourceTime - std::chrono::hours(5));
    EXPECT_TRUE(Mirror("src", "dst"));
    EXPECT_EQ(folder.Read("dst/x"), "a file");
}

// The walk reports an entry before its copy decision; the server's time is read at the decision.
// Here, while their entries are reported, one server file is removed (its older copy stays) and
// one is replaced by an older file (not copied).
TEST_F(FolderMirrorTest, ServerTimeIsReadAfreshAtTheCopyDecision) {
    struct ChangingView : RecordingView {
        std::function<void(const std::string&)> onDestination;
        void MirrorProgress(double copiedMB, double totalMB,
                            const std::string& destinationFile) override {
            RecordingView::MirrorProgress(copiedMB, totalMB, destinationFile);
            onDestination(destinationFile);
        }
    } changing;
    const auto copyTime = kSourceTime - std::chrono::hours(1);
    changing.onDestination = [&](const std::string& line) {
        if (line.ends_with("gone.txt")) std::filesystem::remove(folder.Host("src/gone.txt"));
        if (line.ends_with("replaced.txt"))
            folder.Write("src/replaced.txt", "older", copyTime - std::chrono::hours(1));
    };
    for (const char* name : {"gone.txt", "replaced.txt", "kept.txt"}) {
        folder.Write(std::string("src/") + name, "new", kSourceTime);
        folder.Write(std::string("dst/") + name, "old", copyTime);
    }
    FolderMirror walker(changing);
    EXPECT_TRUE(walker.MirrorFolder(folder.Path("src"), folder.Path("dst"), false));
    EXPECT_EQ(folder.Read("dst/gone.txt"), "old");
    EXPECT_EQ(folder.Read("dst/replaced.txt"), "old");
    EXPECT_EQ(folder.Read("dst/kept.txt"), "new");
    EXPECT_EQ(changing.walked.size(), 3u);
}

// A source that is itself a copy may hold a temporary file of a copy that was cut off: it is
// no file of the playout system, and copying it would also make it collide with the temporary
// name of the file it stands for.
TEST_F(FolderMirrorTest, TemporaryCopiesInTheSourceAreNotCopied) {
    folder.Write("src/song.mp3", "song", kSourceTime);
    folder.Write("src/" + TemporaryCopyName("song.mp3"), "cut off", kSourceTime);
    ASSERT_TRUE(Mirror("src", "dst"));
    EXPECT_EQ(folder.Read("dst/song.mp3"), "song");
    EXPECT_FALSE(folder.Exists("dst/" + TemporaryCopyName("song.mp3")));
}

TEST_F(FolderMirrorTest, UnreachableDestinationIsNotAFailureOfTheWalk) {
    folder.Write("src/a.txt", "a", kSourceTime);
    EXPECT_TRUE(mirror.MirrorFolder(folder.Path("src"), "Musicas:\\Rock\\", false));
    EXPECT_EQ(view.walked.size(), 1u);
}

#ifndef _WIN32
TEST_F(FolderMirrorTest, AFolderLinkThatLoopsIsNotFollowed) {
    folder.Write("src/a.txt", "a", kSourceTime);
    std::filesystem::create_directory_symlink(folder.Host("src"), folder.Host("src/loop"));
    EXPECT_TRUE(Mirror("src", "dst"));
    EXPECT_TRUE(folder.Exists("dst/a.txt"));
    EXPECT_FALSE(folder.Exists("dst/loop/a.txt"));
}

TEST_F(FolderMirrorTest, DriveLettersAndSharesResolveUnderTheDosDevicesRoot) {
    platform::SetDosDevicesRoot(folder.Path("dosdevices"));
    folder.Write("dosdevices/unc/srv01/c/Tavix/conf.ini", "x", kSourceTime);
    folder.MakeFolder("dosdevices/c:");
    EXPECT_TRUE(mirror.MirrorFolder("\\\\SRV01\\C\\Tavix\\", "C:\\Tavix\\", true));
    EXPECT_EQ(folder.Read("dosdevices/c:/Tavix/conf.ini"), "x");
    platform::SetDosDevicesRoot("");
}

// A music folder listed as \\SRV01\D\m\..\..\..\..\outside\ stays on the drive, as on Windows.
TEST_F(FolderMirrorTest, DotDotNeverLeadsAboveTheDriveOrTheShare) {
    platform::SetDosDevicesRoot(folder.Path("world/dosdevices"));
    folder.Write("world/dosdevices/unc/srv01/d/outside/song.mp3", "song", kSourceTime);
    folder.MakeFolder("world/dosdevices/d:");
    const std::string climb = "m\\..\\..\\..\\..\\outside\\";
    EXPECT_TRUE(mirror.MirrorFolder("\\\\SRV01\\D\\" + climb, "D:\\" + climb, false));
    EXPECT_EQ(folder.Read("world/dosdevices/d:/outside/song.mp3"), "song");
    EXPECT_FALSE(folder.Exists("outside"));
    EXPECT_FALSE(folder.Exists("world/outside"));
    EXPECT_FALSE(folder.Exists("world/dosdevices/outside"));
    platform::SetDosDevicesRoot("");
}

// A Linux server may hold names that read as paths on Windows: they are not copied, and the
// walk goes on with the other entries.
TEST_F(FolderMirrorTest, NamesThatArePathsAreNotCopied) {
    platform::SetDosDevicesRoot(folder.Path("dosdevices"));
    const std::string server = "dosdevices/unc/srv01/c/";
    folder.Write(server + "evil.txt", "evil", kSourceTime);
    folder.Write(server + "Tavix/evil.txt", "evil", kSourceTime);
    folder.Write(server + "Tavix/sub/..\\evil.txt", "evil", kSourceTime);
    folder.Write(server + "Tavix/sub/..\\..\\evil.txt", "evil", kSourceTime);
    folder.Write(server + "Tavix/sub/C:evil.txt", "evil", kSourceTime);
    folder.Write(server + "Tavix/sub/x\\..\\..\\..\\evil-folder/inside.txt", "evil", kSourceTime);
    folder.Write(server + "Tavix/sub/music.mp3", "music", kSourceTime);
    folder.MakeFolder("dosdevices/c:");

    EXPECT_TRUE(mirror.MirrorFolder("\\\\SRV01\\C\\Tavix\\sub\\", "C:\\Tavix\\sub\\", true));
    EXPECT_EQ(folder.Read("dosdevices/c:/Tavix/sub/music.mp3"), "music");
    std::set<std::string> drive;
    for (const auto& entry :
         std::filesystem::recursive_directory_iterator(folder.Host("dosdevices/c:")))
        drive.insert(entry.path().lexically_relative(folder.Host("dosdevices/c:")).string());
    EXPECT_EQ(drive, (std::set<std::string>{"Tavix", "Tavix/sub", "Tavix/sub/music.mp3"}));
    platform::SetDosDevicesRoot("");
}

// A named pipe in the source would block the run (and the window) forever once opened.
TEST_F(FolderMirrorTest, ANamedPipeIsPassedOverAndTheWalkGoesOn) {
    for (const char* destination : {"dst", "dst/Tavixdb"}) {
        TestFolder source;
        ASSERT_EQ(mkfifo(source.Host("pipe").c_str(), 0644), 0);
        source.Write("song.mp3", "song", kSourceTime);
        EXPECT_TRUE(mirror.MirrorFolder(source.Path(), folder.Path(destination), false));
        EXPECT_EQ(folder.Read(std::string(destination) + "/song.mp3"), "song") << destination;
        EXPECT_FALSE(folder.Exists(std::string(destination) + "/pipe")) << destination;
        EXPECT_FALSE(folder.Exists(std::string(destination) + "/NOVO_pipe")) << destination;
    }
}

// What the nightly run costs where nothing changed, per entry: on the server one look-up per file
// for the size total (a folder none), besides the server and share names; the mirror decides from
// the listing the size total kept and asks the server nothing. On the standby machine one look-up
// per file, the existence test and time of the copy (a folder none: it is opened, relative to its
// parent). Opens are per folder: on the server its handle and its one listing, on the standby
// machine its handle. Where the listing is not kept (over its budget), the mirror walks the server
// again, as many calls again. Each bound has a floor too: a walk that skipped its look-ups would
// not know what to copy.
TEST_F(FolderMirrorTest, ANoChangeRunListsTheServerOnceAndLooksEachFileUpOnceOnEachSide) {
    if (!WatchedCalls::Available()) GTEST_SKIP() << "the fault shim is preloaded by ctest";
    struct Case {
        const char* name;
        std::vector<std::string> tree;  // below the system folder; a name ending in "/" a folder
        bool recursive;
        long long files;    // the files the walks list
        long long folders;  // the folders the walks list the entries of
    };
    const Case cases[] = {
        {"flat folder",
         {"a.dll", "b.ini", "c.xml", "d.png", "e.txt", "f.dat", "g.exe", "h.dll", "i.ini", "j.xml"},
         true,
         10,
         1},
        // Its hidden folder is an entry, not walked; the empty folder is walked.
        {"tree with hidden entries",
         {"a.dll", ".hidden.ini", "Config/x.ini", "Config/y.ini", "Config/Skins/s1.png",
          "Config/Skins/s2.png", "Config/Skins/s3.png", "Logs/", ".cache/junk1", ".cache/junk2"},
         true,
         7,
         4},
        {"music folder, one level",
         {"01.mp3", "02.mp3", "03.mp3", "04.mp3", "05.mp3", "Extras/b.mp3"},
         false,
         5,
         1},
    };
    constexpr long long kShareMatch = 2;  // the server's name and the share's, once per walk
    for (const Case& c : cases) {
        for (const std::size_t budget : {TreeListing::kDefaultBudget, std::size_t{0}}) {
            const std::string name = c.name + std::string(budget ? ", listing kept" : ", not kept");
            const long long walks = budget ? 1 : 2;  // on the server
            TestFolder world;
            platform::SetDosDevicesRoot(world.Path("dosdevices"));
            for (const std::string& file : c.tree) {
                if (file.ends_with('/'))
                    world.MakeFolder("dosdevices/unc/srv01/c/Sistema/" + file);
                else
                    world.Write("dosdevices/unc/srv01/c/Sistema/" + file, file, kSourceTime);
            }
            world.MakeFolder("dosdevices/c:");
            const std::string source = "\\\\SRV01\\C\\Sistema\\";
            const std::string destination = "C:\\Reserva\\Sistema\\";
            const auto run = [&] {
                TreeListing listed(budget);
                mirror.TotalMB = FolderSizeMB(source, c.recursive, view, nullptr, &listed);
                mirror.CopiedMB = 0;
                return mirror.MirrorFolder(source, destination, c.recursive, &listed);
            };
            ASSERT_TRUE(run()) << name;
            ASSERT_TRUE(world.Exists("dosdevices/c:/Reserva/Sistema/" + c.tree.front())) << name;

            const WatchedCalls server("/unc/");
            const WatchedCalls standby("/c:/");
            ASSERT_TRUE(run()) << name;
            EXPECT_GE(server.LookUps(), walks * c.files) << name;
            EXPECT_LE(server.LookUps(), walks * (c.files + kShareMatch)) << name;
            EXPECT_EQ(standby.LookUps(), c.files) << name;
            EXPECT_GE(server.Opens(), walks * c.folders) << name;
            EXPECT_LE(server.Opens(), walks * 2 * c.folders) << name;
            EXPECT_EQ(standby.Opens(), c.folders) << name;
            platform::SetDosDevicesRoot("");
        }
    }
}

// What a copy costs on the server, per file: it is looked at and opened once relative to its
// folder, which is opened once for all the copies in it (where the walk does not hold it open
// already, from a kept listing: only when something in it is copied), and described once when
// open; the server and share names are not matched again per file. The mirror alone is watched,
// after its size total.
TEST_F(FolderMirrorTest, AFullCopyOpensEachServerFileOnceRelativeToItsFolder) {
    if (!WatchedCalls::Available()) GTEST_SKIP() << "the fault shim is preloaded by ctest";
    const std::vector<std::string> files = {"a.dll",          "b.ini",          "Config/x.ini",
                                            "Config/y.ini",   "Config/Skins/1", "Config/Skins/2",
                                            "Config/Skins/3", "Config/Skins/4"};
    constexpr long long kFolders = 3;     // Sistema, Config, Skins; Vazia has no file
    constexpr long long kShareMatch = 2;  // the server's name and the share's, per folder opened
    for (const std::size_t budget : {TreeListing::kDefaultBudget, std::size_t{0}}) {
        SCOPED_TRACE(budget ? "listing kept" : "not kept");
        TestFolder world;
        platform::SetDosDevicesRoot(world.Path("dosdevices"));
        for (const std::string& file : files)
            world.Write("dosdevices/unc/srv01/c/Sistema/" + file, file, kSourceTime);
        world.MakeFolder("dosdevices/unc/srv01/c/Sistema/Vazia");
        world.MakeFolder("dosdevices/c:");
        TreeListing listed(budget);
        mirror.TotalMB = FolderSizeMB("\\\\SRV01\\C\\Sistema\\", true, view, nullptr, &listed);
        {
            const WatchedCalls server("/unc/");
            ASSERT_TRUE(mirror.MirrorFolder("\\\\SRV01\\C\\Sistema\\", "C:\\Reserva\\Sistema\\",
                                            true, &listed));
            const long long count = static_cast<long long>(files.size());
            // Not kept, the walk opens each folder (Vazia too) and looks each file up itself.
            const long long walked = budget ? 0 : kFolders + 1;
            EXPECT_EQ(server.Opens(), count + (budget ? kFolders : walked));
            EXPECT_GE(server.LookUps(), 2 * count + (budget ? 0 : count));
            EXPECT_LE(server.LookUps(),
                      2 * count + (budget ? kShareMatch * kFolders : count + kShareMatch));
        }
        for (const std::string& file : files)
            EXPECT_EQ(world.Read("dosdevices/c:/Reserva/Sistema/" + file), file) << file;
        platform::SetDosDevicesRoot("");
    }
}

// The mirror judges the server's files by what the size total listed, as rsync judges by its file
// list: a change between the two walks shows at the next run. A file gone meanwhile is passed
// over, as one gone before its listing.
TEST_F(FolderMirrorTest, FromAKeptListingTheServerIsJudgedAsItWasListed) {
    const auto copyTime = kSourceTime - std::chrono::hours(1);
    for (const char* name : {"gone.txt", "newer.txt", "older.txt"}) {
        folder.Write(std::string("src/") + name, "listed", kSourceTime);
        folder.Write(std::string("dst/") + name, "old", copyTime);
    }
    folder.Write("dst/newer.txt", "listed", kSourceTime);
    FixedClock clock;
    RunReport report(clock);
    mirror.Report = &report;
    TreeListing listed;
    FolderSizeMB(folder.Path("src"), true, view, &report, &listed);
    std::filesystem::remove(folder.Host("src/gone.txt"));
    folder.Write("src/newer.txt", "newer", kSourceTime + std::chrono::hours(1));
    folder.Write("src/older.txt", "older", copyTime - std::chrono::hours(1));
    folder.Write("src/added.txt", "added", kSourceTime);

    EXPECT_TRUE(mirror.MirrorFolder(folder.Path("src"), folder.Path("dst"), true, &listed));
    EXPECT_EQ(report.Failures(), 0);
    EXPECT_EQ(folder.Read("dst/gone.txt"), "old");
    EXPECT_EQ(folder.Read("dst/newer.txt"), "listed");
    EXPECT_EQ(folder.Read("dst/older.txt"), "older");  // listed newer: the server's file is copied
    EXPECT_FALSE(folder.Exists("dst/added.txt"));

    EXPECT_TRUE(mirror.MirrorFolder(folder.Path("src"), folder.Path("dst"), true));
    EXPECT_EQ(folder.Read("dst/newer.txt"), "newer");
    EXPECT_EQ(folder.Read("dst/added.txt"), "added");
}

// The listing's memory stays within its budget: a folder that would pass it is not kept, nor any
// after it, and the mirror lists those itself, with the same copies.
TEST_F(FolderMirrorTest, AListingOverItsBudgetKeepsWhatFitsAndTheMirrorListsTheRest) {
    for (int i = 0; i < 10; ++i)
        folder.Write("src/top-" + std::to_string(i) + ".ini", "top", kSourceTime);
    for (int i = 0; i < 2000; ++i)
        folder.Write("src/Big/song-" + std::to_string(i) + ".mp3", "song", kSourceTime);
    folder.Write("src/Big/Deeper/last.mp3", "last", kSourceTime);
    folder.Write("src/Zeta/z.ini", "z", kSourceTime);
    constexpr std::size_t kBudget = 48 * 1024;  // the top folder fits, Big does not
    TreeListing listed(kBudget);
    const double total = FolderSizeMB(folder.Path("src"), true, view, nullptr, &listed);
    EXPECT_TRUE(listed.OverBudget());
    EXPECT_LE(listed.Bytes(), kBudget);
    std::string top = folder.Path("src");
    AppendBackslash(top);
    EXPECT_TRUE(listed.Kept(top));
    EXPECT_FALSE(listed.Kept(top + "Big\\"));
    EXPECT_FALSE(listed.Kept(top + "Zeta\\"));

    mirror.TotalMB = total;
    EXPECT_TRUE(mirror.MirrorFolder(folder.Path("src"), folder.Path("dst"), true, &listed));
    EXPECT_DOUBLE_EQ(mirror.CopiedMB, total);
    EXPECT_EQ(folder.Read("dst/top-9.ini"), "top");
    EXPECT_EQ(folder.Read("dst/Big/song-1999.mp3"), "song");
    EXPECT_EQ(folder.Read("dst/Big/Deeper/last.mp3"), "last");
    EXPECT_EQ(folder.Read("dst/Zeta/z.ini"), "z");
}

// What the default budget holds, at its edge: a listing as large as it says is kept, one entry
// more is over the budget, and the memory stays within it.
TEST(TreeListingTest, TheDefaultBudgetHoldsWhatItSaysAndNoMore) {
    struct Case {
        int nameLength;
        std::size_t mostEntries;
    };
    for (const Case c : {Case{16, 524288}, Case{20, 419430}}) {
        for (const std::size_t entries : {c.mostEntries, c.mostEntries + 1}) {
            SCOPED_TRACE(std::to_string(entries) + " names of " + std::to_string(c.nameLength));
            const std::string folder = "\\\\SRV01\\D\\Musicas\\";
            TreeListing listing;
            listing.BeginFolder(folder);
            platform::FindData file;
            for (std::size_t i = 0; i < entries; ++i) {
                file.name = std::to_string(i);
                file.name.insert(0, c.nameLength - file.name.size(), '0');
                listing.Add(ListedEntry{file.name, 0, &file});
            }
            listing.EndFolder({});
            EXPECT_EQ(listing.Kept(folder), entries == c.mostEntries);
            EXPECT_EQ(listing.OverBudget(), entries > c.mostEntries);
            EXPECT_LE(listing.Bytes(), TreeListing::kDefaultBudget);
        }
    }
}

// Some file systems list no entry types (DT_UNKNOWN): every entry is then looked up, and the
// walks do exactly what they do elsewhere.
TEST_F(FolderMirrorTest, ATreeWhoseListingsTellNoTypesIsWalkedAlike) {
    if (!InjectedFault::Available()) GTEST_SKIP() << "the fault shim is preloaded by ctest";
    for (const bool typesListed : {true, false}) {
        TestFolder tree;
        tree.Write("src/a.txt", "aaaa", kSourceTime);
        tree.Write("src/.hidden.txt", "hh", kSourceTime);
        tree.Write("src/sub/b.txt", "bbbbbbbb", kSourceTime);
        tree.Write("src/.hidden-folder/c.txt", "c", kSourceTime);
        std::filesystem::create_symlink(tree.Host("src/a.txt"), tree.Host("src/file-link"));
        std::filesystem::create_directory_symlink(tree.Host("src/sub"),
                                                  tree.Host("src/folder-link"));
        std::optional<InjectedFault> noTypes;
        if (!typesListed) noTypes.emplace(InjectedFault::Call::kListUnknownTypes, tree.Path("src"));

        EXPECT_DOUBLE_EQ(FolderSizeMB(tree.Path("src"), true, view), (4 + 2 + 8 + 4) / 1048576.0)
            << typesListed;
        ASSERT_TRUE(mirror.MirrorFolder(tree.Path("src"), tree.Path("dst"), true)) << typesListed;
        std::set<std::string> copied;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(tree.Host("dst")))
            copied.insert(entry.path().lexically_relative(tree.Host("dst")).string());
        EXPECT_EQ(copied,
                  (std::set<std::string>{"a.txt", ".hidden.txt", "file-link", "sub", "sub/b.txt"}))
            << typesListed;
        EXPECT_FALSE(std::filesystem::is_symlink(tree.Host("dst/file-link"))) << typesListed;
    }
}

// A listing that breaks off (a share gone, a disk error) loses the entries after it: the folder is
// a failure of the run, with the system's reason, and the walk goes on with the next folder.
TEST_F(FolderMirrorTest, AListingThatBreaksOffIsAFailureAndTheWalkGoesOn) {
    if (!InjectedFault::Available()) GTEST_SKIP() << "the fault shim is preloaded by ctest";
    // More entries than one read of a listing gives, so that the second read breaks it off.
    TestFolder tree;
    for (int i = 0; i < 1500; ++i)
        tree.Write("src/big/song-" + std::to_string(i) + ".mp3", "", kSourceTime);
    tree.Write("src/other/a.mp3", "a", kSourceTime);
    for (const long long readsBefore : {0LL, 1LL}) {
        FixedClock clock;
        RunReport report(clock);
        mirror.Report = &report;
        const std::string destination = "dst" + std::to_string(readsBefore);
        {
            const InjectedFault breaksOff(InjectedFault::Call::kListFails, tree.Path("src/big"),
                                          readsBefore, EIO);
            EXPECT_TRUE(mirror.MirrorFolder(tree.Path("src"), tree.Path(destination), true));
        }
        EXPECT_EQ(report.Failures(), 1) << readsBefore;
        EXPECT_EQ(tree.Read(destination + "/other/a.mp3"), "a") << readsBefore;
        const auto copied =
            std::distance(std::filesystem::directory_iterator(tree.Host(destination + "/big")), {});
        if (readsBefore == 0)
            EXPECT_EQ(copied, 0);
        else
            EXPECT_GT(copied, 0);
        EXPECT_LT(copied, 1500) << readsBefore;
    }
}

// A run cut off while it copies a file into a database folder (the process killed, as by a power
// cut or a forced restart during the night) leaves under the live name and the NOVO_ name only
// whole copies of the server's file, or nothing: the copy is written under a temporary name and
// takes the NOVO_ name only once whole and on the disk. Each round kills a real run at another
// moment of its copy; the run after the last round completes the copy.
TEST_F(FolderMirrorTest, ACopyCutOffAtAnyMomentLeavesOnlyWholeCopiesUnderTheLiveAndNewNames) {
    std::string content(24 << 20, '\0');
    for (std::size_t i = 0; i < content.size(); ++i) content[i] = static_cast<char>(i * 131 / 7);
    folder.Write("src/DB.FDB", content, kSourceTime);
    const std::string db = "dst/Tavix/Tavixdb";
    const std::string temporary = TemporaryCopyName(folder.Host(db + "/NOVO_DB.FDB").string())
                                      .substr(folder.Host(db).string().size() + 1);
    const auto sizeOf = [&](const std::string& relative) {
        struct stat st {};
        return stat(folder.Host(relative).c_str(), &st) == 0 ? static_cast<long long>(st.st_size)
                                                             : -1LL;
    };
    for (const bool liveThere : {false, true}) {
        // Killed before the copy began, at a quarter, a half, nearly its end, and once it is
        // written whole (before or after its rename).
        for (const double writtenBeforeTheKill : {0.0, 0.25, 0.5, 0.95, 1.0}) {
            SCOPED_TRACE(std::string(liveThere ? "live file there" : "no live file") +
                         ", killed at " + std::to_string(writtenBeforeTheKill));
            std::filesystem::remove_all(folder.Host(db));
            if (liveThere)
                folder.Write(db + "/DB.FDB", "older live", kSourceTime - std::chrono::hours(1));
            const pid_t run = fork();
            ASSERT_GE(run, 0);
            if (run == 0) {
                RecordingView quiet;
                FolderMirror(quiet).MirrorFolder(folder.Path("src"), folder.Path(db), false);
                _exit(0);
            }
            const long long target = static_cast<long long>(writtenBeforeTheKill * content.size());
            for (int waited = 0; waited < 20000 && target > 0; ++waited) {
                if (sizeOf(db + "/" + temporary) >= target || sizeOf(db + "/NOVO_DB.FDB") >= 0 ||
                    waitpid(run, nullptr, WNOHANG) == run)
                    break;
                std::this_thread::sleep_for(std::chrono::microseconds(100));
            }
            kill(run, SIGKILL);
            waitpid(run, nullptr, 0);
            for (const std::string name : {"DB.FDB", "NOVO_DB.FDB"}) {
                if (!folder.Exists(db + "/" + name)) continue;
                const std::string found = folder.Read(db + "/" + name);
                if (liveThere && name == "DB.FDB")
                    EXPECT_EQ(found, "older live");
                else
                    EXPECT_TRUE(found == content) << name << ": " << found.size() << " bytes";
            }
            // The next run completes what was cut off, and leaves no temporary file behind.
            ASSERT_TRUE(Mirror("src", db, false));
            EXPECT_TRUE(folder.Read(db + (liveThere ? "/NOVO_DB.FDB" : "/DB.FDB")) == content);
            EXPECT_EQ(folder.Time(db + (liveThere ? "/NOVO_DB.FDB" : "/DB.FDB")), kSourceTime);
            EXPECT_FALSE(folder.Exists(db + "/" + temporary));
        }
    }
}

// Whether the mirror decides from the size total's kept listing or lists the server itself (a
// listing over its memory budget), a failure is reported alike: here a name that is a path on
// Windows, which a Linux server allows.
TEST_F(FolderMirrorTest, AFailureIsReportedAlikeFromAKeptListingAndFromTheMirrorsOwn) {
    folder.Write("src/ok.txt", "ok", kSourceTime);
    folder.Write("src/x\\y.txt", "path-like", kSourceTime);
    for (const std::size_t budget : {TreeListing::kDefaultBudget, std::size_t{0}}) {
        SCOPED_TRACE(budget ? "listing kept" : "not kept");
        const std::string destination = budget ? "kept" : "listed";
        FixedClock clock;
        RunReport report(clock);
        report.LogFile = folder.Path(destination + ".log");
        mirror.Report = &report;
        report.Begin();
        TreeListing listed(budget);
        FolderSizeMB(folder.Path("src"), false, view, &report, &listed);
        EXPECT_EQ(listed.Kept(folder.Path("src") + "\\"), budget != 0);
        EXPECT_TRUE(
            mirror.MirrorFolder(folder.Path("src"), folder.Path(destination), false, &listed));
        EXPECT_EQ(report.Examined(), 2);
        EXPECT_EQ(report.Copied(), 1);
        EXPECT_EQ(report.Failures(), 1);
        EXPECT_NE(
            folder.Read(destination + ".log").find("Falha: " + folder.Path("src") + "\\x\\y.txt: "),
            std::string::npos);
    }
}

// NFS, CIFS and FUSE mounts refuse a rename that never replaces: a standby machine whose drive is
// such a mount still gets its database folder's copies.
TEST_F(FolderMirrorTest, ADatabaseFolderOnAMountThatRefusesNoReplaceRenamesStillGetsItsCopies) {
    folder.MakeFolder("disk");
    folder.MakeFolder("mount");
    const FuseFolder fuse(folder.Path("disk"), folder.Path("mount"));
    if (!fuse.Mounted()) GTEST_SKIP() << fuse.WhyNot();
    folder.Write("src/new.fdb", "new", kSourceTime);
    folder.Write("src/newer.fdb", "newer", kSourceTime);
    folder.Write("disk/Tavixdb/newer.fdb", "live", kSourceTime - std::chrono::hours(1));
    FixedClock clock;
    RunReport report(clock);
    mirror.Report = &report;
    ASSERT_TRUE(Mirror("src", "mount/Tavixdb"));
    EXPECT_EQ(report.Failures(), 0);
    EXPECT_EQ(folder.Read("mount/Tavixdb/new.fdb"), "new");
    EXPECT_EQ(folder.Time("disk/Tavixdb/new.fdb"), kSourceTime);
    EXPECT_EQ(folder.Time("mount/Tavixdb/new.fdb"), kSourceTime);
    EXPECT_EQ(folder.Read("mount/Tavixdb/newer.fdb"), "live");
    EXPECT_EQ(folder.Read("mount/Tavixdb/NOVO_newer.fdb"), "newer");
    EXPECT_EQ(report.Waiting(), 1);
}

#endif

// Times without an MS-DOS form must not make a file copy on every run.
TEST_F(FolderMirrorTest, TimesOutsideTheMsDosRangeSettleAfterOneCopy) {
    folder.Write("src/old-source.txt", "old source", LocalTime(1975, 1, 1, 0, 0, 0));
    folder.Write("src/normal.txt", "normal", kSourceTime);
    folder.Write("dst/normal.txt", "stale", LocalTime(1970, 1, 2, 0, 0, 0));
    ASSERT_TRUE(Mirror("src", "dst"));
    EXPECT_EQ(folder.Read("dst/old-source.txt"), "old source");
    EXPECT_EQ(folder.Read("dst/normal.txt"), "normal");
    Mark("dst/old-source.txt");
    Mark("dst/normal.txt");
    ASSERT_TRUE(Mirror("src", "dst"));
    EXPECT_EQ(folder.Read("dst/old-source.txt"), "##########");
    EXPECT_EQ(folder.Read("dst/normal.txt"), "######");
}

TEST_F(FolderMirrorTest, ReportsEveryEntryButDotEntriesAndProcessesMessagesForEach) {
    folder.Write("src/one.bin", std::string(1024 * 1024, '1'), kSourceTime);
    folder.Write("src/half.bin", std::string(512 * 1024, '2'), kSourceTime);
    folder.MakeFolder("src/sub");
    mirror.TotalMB = 3.5;
    mirror.CopiedMB = 0;
    ASSERT_TRUE(Mirror("src", "dst", false));

    EXPECT_DOUBLE_EQ(mirror.CopiedMB, 1.5);
    ASSERT_EQ(view.walked.size(), 3u);  // one.bin, half.bin, sub
    EXPECT_EQ(view.processed, 3);
    std::multiset<std::string> destinations;
    for (const MirrorStep& step : view.walked) {
        EXPECT_DOUBLE_EQ(step.totalMB, 3.5);
        destinations.insert(step.destinationFile);
    }
    EXPECT_DOUBLE_EQ(view.walked.back().copiedMB, 1.5);
    std::multiset<std::string> expected;
    for (const char* name : {"one.bin", "half.bin", "sub"})
        expected.insert(folder.Path("dst") + "\\" + name);
    EXPECT_EQ(destinations, expected);
}

TEST(FileModifiedTimeTest, MissingFilesAndFoldersReadAsTheLowestTime) {
    TestFolder folder;
    folder.Write("f.txt", "", LocalTime(2001, 2, 3, 4, 5, 7));
    folder.MakeFolder("sub");
    EXPECT_DOUBLE_EQ(FileModifiedTime(folder.Path("f.txt")), EncodeDateTime(2001, 2, 3, 4, 5, 6));
    EXPECT_DOUBLE_EQ(FileModifiedTime(folder.Path("sub")), kNoFileTime);
    EXPECT_DOUBLE_EQ(FileModifiedTime(folder.Path("missing")), kNoFileTime);
    EXPECT_DOUBLE_EQ(EncodeDateTime(100, 1, 1, 0, 0, 0), kNoFileTime);
    EXPECT_DOUBLE_EQ(EncodeDateTime(1899, 12, 30, 12, 0, 0), 0.5);
}
