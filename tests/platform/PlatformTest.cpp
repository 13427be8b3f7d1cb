#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <optional>
#include <set>

#include "platform/FileCopy.h"
#include "platform/FileTime.h"
#include "platform/Files.h"
#include "platform/SystemError.h"
#include "support/TestFolder.h"

#ifndef _WIN32
#include "support/FuseFolder.h"
#include "support/InjectedFault.h"
#include "support/WatchedCalls.h"
#ifndef _WIN32
#include "platform/posix/HostPath.h"
#endif
#endif

using namespace platform;

#ifndef _WIN32

TEST(HostPathTest, WindowsTextsResolveLikeWine) {
    TestFolder folder;
    folder.MakeFolder("unc/srv01/d");
    SetDosDevicesRoot(folder.Path());
    const std::string root = folder.Path();
    struct Case {
        std::string windows;
        std::optional<std::string> host;
    };
    const Case cases[] = {
        {"C:\\Tavix\\Sonvira\\", root + "/c:/Tavix/Sonvira/"},
        {"c:\\", root + "/c:/"},
        {"D:ados\\Tavix\\", root + "/d:/ados/Tavix/"},
        {"\\\\SRV01\\D\\Musicas\\Rock\\", root + "/unc/srv01/d/Musicas/Rock/"},  // case-insensitive
        {"\\\\OTHER\\C\\Tavix", root + "/unc/OTHER/C/Tavix"},  // nothing there: taken as given
        {"\\\\SRV01", std::nullopt},
        {"\\\\SRV01\\", std::nullopt},
        {"Musicas:\\Rock\\", std::nullopt},
        {":D", std::nullopt},
        {":", std::nullopt},
        {"C:\\a:b", std::nullopt},
        {"/home/x\\Duplora.bat", "/home/x/Duplora.bat"},
        {"relative\\file", "relative/file"},
        // "." and ".." as Windows reads them: never above the drive root or the share
        {"C:\\Tavix\\.\\Sonvira\\..\\x.ini", root + "/c:/Tavix/x.ini"},
        {"C:\\Tavix\\..\\..\\..\\etc\\cron.d\\", root + "/c:/etc/cron.d/"},
        {"D:..\\..", root + "/d:/"},
        {"C:\\a/../../b", root + "/c:/b"},
        {"C:\\a\\\\b\\.", root + "/c:/a/b"},
        {"\\\\SRV01\\D\\m\\..\\..\\..\\outside\\", root + "/unc/srv01/d/outside/"},
        {"\\\\SRV01\\D\\..", root + "/unc/srv01/d/"},
        {"\\\\SRV01/D/m", root + "/unc/srv01/d/m"},
        {"\\\\..\\..\\etc", std::nullopt},
        {"\\\\SRV01\\..\\etc", std::nullopt},
        {"\\\\.\\D\\m", std::nullopt},
    };
    for (const Case& c : cases) EXPECT_EQ(HostPath(c.windows), c.host) << c.windows;
}

// A share is looked up for every entry of a walk, so its case-insensitive match is kept; a
// renamed or removed server folder must still be found afresh.
TEST(HostPathTest, ShareMatchFollowsRenamedAndRemovedFolders) {
    TestFolder folder;
    folder.MakeFolder("unc/srv01/d");
    SetDosDevicesRoot(folder.Path());
    const std::string root = folder.Path();
    EXPECT_EQ(HostPath("\\\\SRV01\\D\\x"), root + "/unc/srv01/d/x");
    EXPECT_EQ(HostPath("\\\\SRV01\\D\\y"), root + "/unc/srv01/d/y");
    std::filesystem::rename(folder.Host("unc/srv01"), folder.Host("unc/Srv01"));
    EXPECT_EQ(HostPath("\\\\SRV01\\D\\x"), root + "/unc/Srv01/d/x");
    std::filesystem::remove_all(folder.Host("unc/Srv01"));
    EXPECT_EQ(HostPath("\\\\SRV01\\D\\x"), root + "/unc/SRV01/D/x");
    SetDosDevicesRoot("");
}

TEST(HostPathTest, RootFollowsWinePrefixUnlessSet) {
    SetDosDevicesRoot("");
    setenv("WINEPREFIX", "/opt/prefix", 1);
    EXPECT_EQ(DosDevicesRoot(), "/opt/prefix/dosdevices");
    unsetenv("WINEPREFIX");
    EXPECT_EQ(DosDevicesRoot(), std::string(getenv("HOME")) + "/.wine/dosdevices");
    SetDosDevicesRoot("/elsewhere");
    EXPECT_EQ(DosDevicesRoot(), "/elsewhere");
    EXPECT_EQ(HostPath("X:\\y"), "/elsewhere/x:/y");
}

TEST(AttributesTest, PosixMeaningOfTheAttributeWord) {
    TestFolder folder;
    folder.Write("plain.txt", "a");
    folder.Write(".hidden", "b");
    folder.MakeFolder("sub");
    folder.Write("locked.txt", "c");
    std::filesystem::permissions(folder.Host("locked.txt"), std::filesystem::perms::owner_read |
                                                                std::filesystem::perms::group_read);
    std::filesystem::create_directory_symlink(folder.Host("sub"), folder.Host("link"));

    EXPECT_EQ(GetAttributes(folder.Path("plain.txt")), kAttrArchive);
    EXPECT_EQ(GetAttributes(folder.Path(".hidden")), kAttrArchive | kAttrHidden);
    EXPECT_EQ(GetAttributes(folder.Path("sub")), kAttrDirectory);
    EXPECT_EQ(GetAttributes(folder.Path("locked.txt")), kAttrArchive | kAttrReadOnly);
    EXPECT_EQ(GetAttributes(folder.Path("link")), kAttrDirectory | kAttrReparsePoint);
    EXPECT_EQ(GetAttributes(folder.Path("missing")), kInvalidAttributes);

    ASSERT_TRUE(SetAttributes(folder.Path("plain.txt"), kAttrArchive | kAttrReadOnly));
    EXPECT_EQ(GetAttributes(folder.Path("plain.txt")), kAttrArchive | kAttrReadOnly);
    ASSERT_TRUE(SetAttributes(folder.Path("plain.txt"), kAttrArchive));
    EXPECT_EQ(GetAttributes(folder.Path("plain.txt")), kAttrArchive);
}

// A copy is written under its temporary name only as a new file: a link planted under that name
// is removed, not written through, and its target is left alone.
TEST(CopyIntoFolderTest, ALinkPlantedUnderTheTemporaryNameIsNotWrittenThrough) {
    TestFolder folder;
    folder.Write("outside/target.txt", "untouched");
    folder.Write("src/a.dat", "new content");
    folder.MakeFolder("dst");
    for (const char* target : {"outside/target.txt", "outside/missing.txt"}) {
        SCOPED_TRACE(target);
        std::filesystem::remove(folder.Host("dst/a.dat"));
        std::filesystem::create_symlink(folder.Host(target),
                                        folder.Host("dst/" + TemporaryCopyName("a.dat")));
        const CopyOutcome copied =
            CopyIntoFolder(Folder(folder.Path("src")), "a.dat", Folder(folder.Path("dst")), "a.dat",
                           CopyRoute::kReplacing);
        EXPECT_TRUE(copied.copied) << copied.reason;
        EXPECT_EQ(folder.Read("dst/a.dat"), "new content");
        EXPECT_EQ(folder.Read("outside/target.txt"), "untouched");
        EXPECT_FALSE(folder.Exists("outside/missing.txt"));
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Host("dst")), {}), 1);
    }
}

#endif  // _WIN32

// What a copy between open folders did, and why not, comes back in its result: the source gone
// (since it was listed) is told apart from a copy that failed, a folder that is not open gives the
// reason it did not open, in the system's words, and a new file never replaces a name that is
// there.
TEST(CopyIntoFolderTest, TheResultSaysWhatBecameOfTheCopyAndWhy) {
    using Shortfall = CopyOutcome::Shortfall;
    TestFolder folder;
    folder.Write("src/a.dat", "new");
    folder.Write("dst/taken.dat", "kept");
    const Folder source(folder.Path("src"));
    const Folder destination(folder.Path("dst"));
    const Folder gone(folder.Path("gone"));
    const std::string whyGone = LastErrorText();  // why a folder did not open, as it opened
    const Folder unnamed("Musicas:\\Rock\\");
    const std::string whyUnnamed = LastErrorText();
    struct Case {
        const char* name;
        const Folder& source;
        const char* file;
        const Folder& destination;
        const char* destinationName;
        CopyRoute route;
        bool copied;
        Shortfall shortfall;
        std::string reason;  // empty: any but none
    };
    const Case cases[] = {
        {"a new file", source, "a.dat", destination, "b.dat", CopyRoute::kAsNewFile, true,
         Shortfall::kNone, ""},
        {"a new file under a name that is taken", source, "a.dat", destination, "taken.dat",
         CopyRoute::kAsNewFile, false, Shortfall::kNotCopied, ErrorText(SystemError::kFileExists)},
        {"a source gone", source, "missing.dat", destination, "c.dat", CopyRoute::kReplacing, false,
         Shortfall::kSourceGone, ""},
        {"a source folder gone", gone, "a.dat", destination, "c.dat", CopyRoute::kReplacing, false,
         Shortfall::kSourceGone, whyGone},
        {"a destination folder not there", source, "a.dat", gone, "c.dat", CopyRoute::kReplacing,
         false, Shortfall::kNotCopied, whyGone},
        {"a destination that names no drive", source, "a.dat", unnamed, "c.dat",
         CopyRoute::kReplacing, false, Shortfall::kNotCopied, whyUnnamed},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const CopyOutcome outcome =
            CopyIntoFolder(c.source, c.file, c.destination, c.destinationName, c.route);
        EXPECT_EQ(outcome.copied, c.copied);
        EXPECT_EQ(outcome.shortfall, c.shortfall);
        if (c.copied) {
            EXPECT_EQ(outcome.reason, "");
        } else if (c.reason.empty()) {
            EXPECT_NE(outcome.reason, "");
        } else {
            EXPECT_EQ(outcome.reason, c.reason);
        }
    }
    EXPECT_EQ(folder.Read("dst/b.dat"), "new");
    EXPECT_EQ(folder.Read("dst/taken.dat"), "kept");
    EXPECT_FALSE(folder.Exists("dst/c.dat"));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Host("dst")), {}), 2);
}

#ifndef _WIN32

// A listing tells each entry's kind, and describes it whole when asked, exactly as a look-up of
// its path does: whether the file system lists entry types or not (DT_UNKNOWN), links followed,
// a link to a folder a folder.
TEST(DirectorySearchTest, ListedEntriesAreWhatTheirOwnLookUpsSay) {
    TestFolder folder;
    folder.Write("in/plain.txt", "plain");
    folder.Write("in/.hidden", "hidden!");
    folder.Write("in/locked.txt", "lock");
    std::filesystem::permissions(folder.Host("in/locked.txt"), std::filesystem::perms::owner_read);
    folder.MakeFolder("in/sub");
    folder.MakeFolder("in/.hidden-sub");
    std::filesystem::create_symlink(folder.Host("in/plain.txt"), folder.Host("in/file-link"));
    std::filesystem::create_directory_symlink(folder.Host("in/sub"), folder.Host("in/folder-link"));
    std::filesystem::create_symlink(folder.Host("in/missing"), folder.Host("in/dangling"));
    struct Case {
        const char* name;
        std::uint32_t attributes;
        std::uint64_t size;
    };
    const Case cases[] = {
        {"plain.txt", kAttrArchive, 5},
        {".hidden", kAttrArchive | kAttrHidden, 7},
        {"locked.txt", kAttrArchive | kAttrReadOnly, 4},
        {"sub", kAttrDirectory, 0},
        {".hidden-sub", kAttrDirectory | kAttrHidden, 0},
        {"file-link", kAttrArchive | kAttrReparsePoint, 5},
        {"folder-link", kAttrDirectory | kAttrReparsePoint, 0},
        {"dangling", kAttrArchive | kAttrReparsePoint, folder.Path("in/missing").size()},
    };
    for (const bool typesListed : {true, false}) {
        std::optional<InjectedFault> noTypes;
        if (!typesListed) {
            if (!InjectedFault::Available()) GTEST_SKIP() << "the fault shim is preloaded by ctest";
            noTypes.emplace(InjectedFault::Call::kListUnknownTypes, folder.Path("in"));
        }
        std::map<std::string, const Case*> expected;
        for (const Case& c : cases) expected[c.name] = &c;
        const Folder in(folder.Path("in"));
        for (DirectorySearch search(in); search.Found(); search.Next()) {
            if (search.Name() == "." || search.Name() == "..") continue;
            const auto it = expected.find(search.Name());
            ASSERT_NE(it, expected.end()) << search.Name();
            const Case& c = *it->second;
            const std::string path = folder.Path("in/" + search.Name());
            EXPECT_EQ(search.Kind(), c.attributes & kKindAttributes) << c.name << typesListed;
            ASSERT_NE(search.Entry(), nullptr) << c.name;
            EXPECT_EQ(search.Entry()->attributes, c.attributes) << c.name << typesListed;
            EXPECT_EQ(search.Entry()->size, c.size) << c.name << typesListed;
            EXPECT_EQ(GetAttributes(path), c.attributes) << c.name;
            EXPECT_EQ(search.Entry()->lastWriteTime, DirectorySearch(path).Entry()->lastWriteTime)
                << c.name;
            FindData found;
            ASSERT_TRUE(in.Find(c.name, found)) << c.name;
            EXPECT_EQ(found.attributes, c.attributes) << c.name;
            expected.erase(it);
        }
        EXPECT_TRUE(expected.empty()) << typesListed;
    }
}

// What a listing needs is looked up once, when first asked for: its files' kinds come with the
// listing, their attributes, times and sizes take one look-up each. The listing reads the open
// folder's own descriptor: the folder is opened once.
TEST(DirectorySearchTest, AListingLooksAnEntryUpOnlyWhenAskedAndOnce) {
    if (!WatchedCalls::Available()) GTEST_SKIP() << "the fault shim is preloaded by ctest";
    TestFolder folder;
    for (const char* name : {"a.txt", "b.txt", "c.txt", ".d"})
        folder.Write(std::string("in/") + name, "x");
    folder.MakeFolder("in/sub");
    const WatchedCalls calls(folder.Path("in"));
    const Folder in(folder.Path("in"));
    int files = 0;
    for (DirectorySearch search(in); search.Found(); search.Next()) {
        if (search.Kind() & kAttrDirectory) continue;
        ++files;
        EXPECT_EQ(calls.LookUps(), files - 1) << "before " << search.Name();
        ASSERT_NE(search.Entry(), nullptr);
        ASSERT_NE(search.Entry(), nullptr);
        EXPECT_EQ(calls.LookUps(), files) << "after " << search.Name();
    }
    EXPECT_EQ(files, 4);
    EXPECT_EQ(calls.Opens(), 1);  // the folder, listed through its descriptor
}

// NFS, CIFS and FUSE mounts refuse a rename that never replaces (RENAME_NOREPLACE): the rename
// still takes a new name there, and still refuses one that exists, by path and in an open folder.
TEST(FilesTest, RenameNeverReplacesOnAFileSystemThatRefusesTheFlag) {
    TestFolder folder;
    folder.MakeFolder("disk");
    folder.MakeFolder("mount");
    const FuseFolder fuse(folder.Path("disk"), folder.Path("mount"));
    if (!fuse.Mounted()) GTEST_SKIP() << fuse.WhyNot();
    for (const bool inOpenFolder : {false, true}) {
        SCOPED_TRACE(inOpenFolder ? "in an open folder" : "by path");
        std::filesystem::remove_all(folder.Host("mount/c.txt"));
        folder.Write("mount/a.txt", "a");
        folder.Write("mount/b.txt", "b");
        const Folder mount(folder.Path("mount"));
        const auto rename = [&](const char* from, const char* to) -> Outcome {
            if (inOpenFolder) return mount.Rename(from, to);
            const bool done = RenameFile(folder.Path("mount/") + from, folder.Path("mount/") + to);
            return {done, done ? "" : LastErrorText()};
        };
        const Outcome refused = rename("a.txt", "b.txt");
        EXPECT_FALSE(refused.done);
        EXPECT_EQ(refused.reason, "File exists");
        EXPECT_EQ(folder.Read("mount/a.txt"), "a");
        EXPECT_EQ(folder.Read("mount/b.txt"), "b");
        const Outcome renamed = rename("a.txt", "c.txt");
        EXPECT_TRUE(renamed.done) << renamed.reason;
        EXPECT_EQ(folder.Read("mount/c.txt"), "a");
        EXPECT_FALSE(folder.Exists("mount/a.txt"));
    }
}

#endif  // _WIN32

TEST(FilesTest, RenameRefusesAnExistingName) {
    for (const bool inOpenFolder : {false, true}) {
        SCOPED_TRACE(inOpenFolder ? "in an open folder" : "by path");
        TestFolder folder;
        folder.Write("a.txt", "a");
        folder.Write("b.txt", "b");
        const Folder open(folder.Path());
        const auto rename = [&](const char* from, const char* to) {
            return inOpenFolder ? open.Rename(from, to).done
                                : RenameFile(folder.Path(from), folder.Path(to));
        };
        EXPECT_FALSE(rename("a.txt", "b.txt"));
        EXPECT_EQ(folder.Read("b.txt"), "b");
        EXPECT_TRUE(rename("a.txt", "c.txt"));
        EXPECT_EQ(folder.Read("c.txt"), "a");
        EXPECT_FALSE(folder.Exists("a.txt"));
    }
}

TEST(DirectorySearchTest, ListsEveryEntryOrOneNamedEntry) {
    TestFolder folder;
    folder.Write("f.txt", "12345");
    folder.MakeFolder("sub");
    std::set<std::string> names;
    for (DirectorySearch search(folder.Path() + "\\*.*"); search.Found(); search.Next()) {
        names.insert(search.Name());
        ASSERT_NE(search.Entry(), nullptr);
        EXPECT_EQ(search.Entry()->name, search.Name());
        if (search.Name() == "f.txt") {
            EXPECT_EQ(search.Entry()->size, 5u);
        }
        if (search.Name() == "sub") {
            EXPECT_EQ(search.Entry()->size, 0u);
        }
    }
    EXPECT_EQ(names, (std::set<std::string>{".", "..", "f.txt", "sub"}));

    const DirectorySearch one(folder.Path("f.txt"));
    ASSERT_TRUE(one.Found());
    EXPECT_EQ(one.Name(), "f.txt");
    EXPECT_EQ(one.Entry()->size, 5u);
    EXPECT_FALSE(DirectorySearch(folder.Path("missing")).Found());
    EXPECT_FALSE(DirectorySearch(folder.Path("missing") + "\\*.*").Found());
}

TEST(FolderTest, OpensFoldersAndFindsTheirEntries) {
    TestFolder folder;
    folder.Write("top/sub/f.txt", "12345", LocalTime(2022, 6, 7, 8, 9, 10));
    const Folder top(folder.Path("top"));
    ASSERT_TRUE(top.IsOpen());
    const Folder sub(top, "sub");
    ASSERT_TRUE(sub.IsOpen());
    FindData found;
    ASSERT_TRUE(sub.Find("f.txt", found));
    EXPECT_EQ(found.name, "f.txt");
    EXPECT_EQ(found.size, 5u);
    EXPECT_EQ(found.lastWriteTime,
              DirectorySearch(folder.Path("top/sub/f.txt")).Entry()->lastWriteTime);
    EXPECT_FALSE(sub.Find("missing", found));
    EXPECT_FALSE(Folder(sub, "f.txt").IsOpen());  // a file is no folder
    EXPECT_FALSE(Folder(top, "missing").IsOpen());
    EXPECT_FALSE(Folder(folder.Path("missing")).IsOpen());
    EXPECT_FALSE(Folder("Musicas:\\Rock\\").IsOpen());
    std::set<std::string> names;
    for (DirectorySearch search(sub); search.Found(); search.Next()) names.insert(search.Name());
    EXPECT_EQ(names, (std::set<std::string>{".", "..", "f.txt"}));
    EXPECT_FALSE(DirectorySearch(Folder(folder.Path("missing"))).Found());
}

TEST(DosDateTimeTest, LocalTimeInTwoSecondStepsWithin1980To2107) {
    TestFolder folder;
    folder.Write("a", "", LocalTime(2024, 5, 17, 13, 45, 31) + std::chrono::milliseconds(900));
    const FindData entry = *DirectorySearch(folder.Path("a")).Entry();
    const auto dos = ToDosDateTime(entry.lastWriteTime);
    ASSERT_TRUE(dos);
    EXPECT_EQ(dos->date, ((2024 - 1980) << 9) | (5 << 5) | 17);
    EXPECT_EQ(dos->time, (13 << 11) | (45 << 5) | (30 / 2));
    const auto back = FromDosDateTime(*dos);
    ASSERT_TRUE(back);
    EXPECT_EQ(ToDosDateTime(*back), dos);

    for (int year : {1979, 2108}) {
        folder.SetTime("a", LocalTime(year, 6, 1, 12, 0, 0));
        EXPECT_FALSE(ToDosDateTime(DirectorySearch(folder.Path("a")).Entry()->lastWriteTime))
            << year;
    }
}
