#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <vector>

#include "funcoes/U_Funcoes.h"
#include "platform/FileTime.h"
#include "platform/Files.h"
#include "platform/SystemError.h"
#include "support/TestFolder.h"

#ifndef _WIN32

#include <sys/stat.h>

#include <cerrno>
#include <optional>

#include "platform/posix/HostPath.h"
#include "support/FuseFolder.h"
#include "support/InjectedFault.h"
#include "support/SmallDisk.h"
#include "support/WatchedCalls.h"
#endif

namespace {

const auto kOlderCopyTime = LocalTime(2021, 1, 1, 0, 0, 0);
const auto kNewSourceTime = LocalTime(2022, 1, 2, 3, 4, 6);

std::optional<platform::DosDateTime> DosTimeOf(const TestFolder& folder, const std::string& name) {
    const platform::DirectorySearch search(folder.Path(name));
    return search.Found() ? platform::ToDosDateTime(search.Entry()->lastWriteTime) : std::nullopt;
}

// Whether `copy` would pass for an up-to-date copy of `source` at the next run.
bool LooksUpToDate(const TestFolder& folder, const std::string& source, const std::string& copy) {
    const auto copyTime = DosTimeOf(folder, copy);
    return copyTime && copyTime == DosTimeOf(folder, source);
}

// The names in a folder of the test, so that a file left behind shows.
std::set<std::string> Names(const TestFolder& folder, const std::string& relative = "") {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder.Host(relative)))
        names.insert(entry.path().filename().string());
    return names;
}

}  // namespace

TEST(CopyFileKeepingDateTest, CopiesContentMsDosTimeAndAttributes) {
    struct Case {
        const char* name;
        std::string content;
        int second;
        int milliseconds;
    };
    const Case cases[] = {
        {"empty", "", 10, 0},
        {"odd second and fractions", "abc", 31, 750},
        {"several chunks", std::string(2048 * 3 + 17, 'x'), 44, 0},
        {"exactly one chunk", std::string(2048, 'y'), 2, 0},
    };
    for (const Case& c : cases) {
        TestFolder folder;
        const auto time =
            LocalTime(2023, 11, 5, 8, 9, c.second) + std::chrono::milliseconds(c.milliseconds);
        folder.Write("src.bin", c.content, time);
        ASSERT_TRUE(CopyFileKeepingDate(folder.Path("src.bin"), folder.Path("dst.bin"))) << c.name;
        EXPECT_EQ(folder.Read("dst.bin"), c.content) << c.name;
        // The copy carries the time truncated to the even second, which reads the same.
        EXPECT_EQ(folder.Time("dst.bin"), LocalTime(2023, 11, 5, 8, 9, c.second / 2 * 2)) << c.name;
        EXPECT_TRUE(LooksUpToDate(folder, "src.bin", "dst.bin")) << c.name;
    }
}

// A copy that is read-only because its source was is Duplora's own (its time is the MS-DOS time it
// was stamped with): the server's newer versions replace it, with their attributes.
TEST(CopyFileKeepingDateTest, AReadOnlyCopyTakesTheServersNewerVersionsAndTheirAttributes) {
    for (const bool newerIsReadOnly : {true, false}) {
        TestFolder folder;
        folder.Write("src.txt", "first", kOlderCopyTime);
        platform::SetAttributes(folder.Path("src.txt"), platform::kAttrReadOnly);
        ASSERT_TRUE(CopyFileKeepingDate(folder.Path("src.txt"), folder.Path("dst.txt")));
        EXPECT_TRUE(platform::GetAttributes(folder.Path("dst.txt")) & platform::kAttrReadOnly);

        platform::SetAttributes(folder.Path("src.txt"), platform::kAttrArchive);
        folder.Write("src.txt", "second", kNewSourceTime);
        if (newerIsReadOnly)
            platform::SetAttributes(folder.Path("src.txt"), platform::kAttrReadOnly);
        const CopyResult copied =
            CopyFileKeepingDate(folder.Path("src.txt"), folder.Path("dst.txt"));
        EXPECT_TRUE(copied.copied && !copied.failure) << newerIsReadOnly;
        EXPECT_EQ(folder.Read("dst.txt"), "second") << newerIsReadOnly;
        EXPECT_TRUE(LooksUpToDate(folder, "src.txt", "dst.txt")) << newerIsReadOnly;
        EXPECT_EQ((platform::GetAttributes(folder.Path("dst.txt")) & platform::kAttrReadOnly) != 0,
                  newerIsReadOnly);
        EXPECT_EQ(Names(folder), (std::set<std::string>{"src.txt", "dst.txt"})) << newerIsReadOnly;
    }
}

TEST(CopyFileKeepingDateTest, RefusesWhatCannotBeCopied) {
    TestFolder folder;
    folder.Write("src.txt", "data");
    EXPECT_FALSE(CopyFileKeepingDate(folder.Path("src.txt"), folder.Path("src.txt")));
    EXPECT_EQ(folder.Read("src.txt"), "data");
    EXPECT_FALSE(CopyFileKeepingDate(folder.Path("missing.txt"), folder.Path("dst.txt")));
    EXPECT_FALSE(folder.Exists("dst.txt"));
    EXPECT_FALSE(CopyFileKeepingDate(folder.Path("src.txt"), folder.Path("no-folder/dst.txt")));
    EXPECT_FALSE(CopyFileKeepingDate(folder.Path("src.txt"), "Musicas:\\dst.txt"));
}

// The new copy takes the older one's place whole, with nothing beside it; a temporary file that
// a copy cut off by the end of the process left behind is replaced, so none pile up. On POSIX a
// name as long as the file system takes (255 bytes) copies too: the temporary name is never
// longer. (Windows' ANSI functions take whole paths of up to 259 characters, a bound the name
// alone meets long before.)
TEST(CopyFileKeepingDateTest, ReplacesAnOlderCopyAndLeavesNothingBesideIt) {
    const std::string content(3 * 2048 + 5, 'n');
    std::vector<std::string> names{"dst.bin"};
#ifndef _WIN32
    const std::string accented = "\xC3\xA7";  // two bytes in UTF-8
    names.insert(names.end(),
                 {std::string(246, 'l'), std::string(247, 'l'), std::string(251, 'l') + ".mp3",
                  std::string(126, 'm') + accented + std::string(127, 'm')});
#endif
    for (const std::string& name : names) {
        TestFolder folder;
        folder.Write("src.bin", content, kNewSourceTime);
        folder.Write("dst/" + name, "older copy", kOlderCopyTime);
        const std::string temporary = TemporaryCopyName(name);
        if (name.size() > 12) {
            EXPECT_LE(temporary.size(), name.size()) << name.size();
        }
        folder.Write("dst/" + temporary, "cut off");
        const CopyResult copied =
            CopyFileKeepingDate(folder.Path("src.bin"), folder.Path("dst/" + name));
        ASSERT_TRUE(copied.copied && !copied.failure) << name.size() << ": " << *copied.failure;
        EXPECT_EQ(folder.Read("dst/" + name), content) << name.size();
        EXPECT_TRUE(LooksUpToDate(folder, "src.bin", "dst/" + name)) << name.size();
        EXPECT_EQ(Names(folder, "dst"), std::set<std::string>{name}) << name.size();
        EXPECT_TRUE(IsTemporaryCopyName(temporary)) << name.size();
        EXPECT_FALSE(IsTemporaryCopyName(name)) << name.size();
    }
}

#ifndef _WIN32

// A destination on a full disk: the new copy cannot be written whole.
TEST(CopyFileKeepingDateTest, AFullDiskKeepsTheOlderCopyAndLeavesNoTemporaryFile) {
    TestFolder folder;
    folder.MakeFolder("small");
    const SmallDisk small(folder.Path("small"));
    if (!small.Mounted()) GTEST_SKIP() << small.WhyNot();
    folder.Write("src.bin", std::string(256 * 1024, 'z'), kNewSourceTime);
    folder.Write("small/dst.bin", "older copy", kOlderCopyTime);

    const CopyResult copied =
        CopyFileKeepingDate(folder.Path("src.bin"), folder.Path("small/dst.bin"));
    EXPECT_FALSE(copied.copied);
    EXPECT_EQ(copied.failure, "No space left on device");
    EXPECT_EQ(folder.Read("small/dst.bin"), "older copy");
    if (folder.Exists("small/dst.bin")) {
        EXPECT_EQ(folder.Time("small/dst.bin"), kOlderCopyTime);
    }
    EXPECT_EQ(Names(folder, "small"), std::set<std::string>{"dst.bin"});
}

namespace {

// How a copy moves its bytes: in the kernel (copy_file_range) where the file systems take it, or
// read and written where they refuse, as a file system that the fault shim makes refuse it does.
enum class Moved { kInTheKernel, kReadAndWritten };
constexpr Moved kBothWays[] = {Moved::kInTheKernel, Moved::kReadAndWritten};

std::string Name(Moved moved) {
    return moved == Moved::kInTheKernel ? "in the kernel" : "read and written";
}

// While it lives, the in-kernel copies from files whose path holds `pathPart` are refused, when
// the copy is to read and write.
class Refusing {
public:
    Refusing(Moved moved, const std::string& pathPart) {
        if (moved == Moved::kReadAndWritten)
            refused_.emplace(InjectedFault::Call::kCopyRange, pathPart, 0, EXDEV);
    }

private:
    std::optional<InjectedFault> refused_;
};

}  // namespace

// Faults no real file gives on demand: each leaves the older copy as it was, no other file
// beside it, and the system's reason, whether the kernel moves the bytes or the copy reads and
// writes them.
TEST(CopyFileKeepingDateTest, AFailureOnTheWayKeepsTheOlderCopyAndLeavesNoTemporaryFile) {
    if (!InjectedFault::Available()) GTEST_SKIP() << "the fault shim is preloaded by ctest";
    using Call = InjectedFault::Call;
    struct Case {
        const char* name;
        Call call;
        const char* pathPart;
        long long pass;
        int error;
        const char* reason;
    };
    const Case cases[] = {
        {"read error part-way", Call::kRead, "src.bin", 5000, EIO, "Input/output error"},
        {"source cut short", Call::kRead, "src.bin", 5000, 0, "Reached the end of the file."},
        {"the open source cannot be described", Call::kDescribe, "src.bin", 0, EIO,
         "Input/output error"},
        {"close of the copy fails", Call::kClose, "/dst/", 0, EIO, "Input/output error"},
        // A copy without the server's time would pass for up to date when it is not, or be
        // copied on every run: it does not take the older copy's place.
        {"time of the copy cannot be set", Call::kSetTime, "/dst/", 0, EPERM,
         "a cópia não recebeu a data do servidor e não foi usada: Operation not permitted"},
    };
    for (const Moved moved : kBothWays) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(c.name) + ", " + Name(moved));
            TestFolder folder;
            folder.Write("src/src.bin", std::string(3 * 4096, 's'), kNewSourceTime);
            folder.Write("dst/dst.bin", "older copy", kOlderCopyTime);
            {
                const Refusing refused(moved, "src.bin");
                const InjectedFault fault(c.call, c.pathPart, c.pass, c.error);
                const CopyResult copied =
                    CopyFileKeepingDate(folder.Path("src/src.bin"), folder.Path("dst/dst.bin"));
                EXPECT_FALSE(copied.copied);
                EXPECT_EQ(copied.failure, c.reason);
            }
            EXPECT_EQ(folder.Read("dst/dst.bin"), "older copy");
            if (folder.Exists("dst/dst.bin")) {
                EXPECT_EQ(folder.Time("dst/dst.bin"), kOlderCopyTime);
            }
            EXPECT_EQ(Names(folder, "dst"), std::set<std::string>{"dst.bin"});
        }
    }
}

// A file system may refuse to copy in the kernel (another file system, NFS or FUSE mounts, older
// kernels: EXDEV, EOPNOTSUPP, ENOSYS, EINVAL), or copy less than asked and then nothing, as some
// do: the copy reads and writes what is left, and is whole.
TEST(CopyFileKeepingDateTest, AFileSystemThatDoesNotCopyInTheKernelStillGivesAWholeCopy) {
    if (!InjectedFault::Available()) GTEST_SKIP() << "the fault shim is preloaded by ctest";
    struct Case {
        const char* name;
        long long copiedFirst;  // by the kernel, before it refuses
        int error;              // 0: the kernel then copies nothing
    };
    const Case cases[] = {
        {"another file system", 0, EXDEV},
        {"not supported", 0, EOPNOTSUPP},
        {"no such call", 0, ENOSYS},
        {"invalid here", 0, EINVAL},
        {"copies nothing", 0, 0},
        {"copies part, then nothing", 5000, 0},
        {"copies part, then refuses", 70000, EXDEV},
    };
    for (const std::size_t size : {std::size_t{5000}, std::size_t{3 * 65536 + 5000}}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(c.name) + ", " + std::to_string(size) + " bytes");
            TestFolder folder;
            std::string content(size, 'k');
            for (std::size_t i = 0; i < content.size(); i += 999) content[i] = static_cast<char>(i);
            folder.Write("src/a.bin", content, kNewSourceTime);
            folder.Write("dst/a.bin", "older copy", kOlderCopyTime);
            {
                const InjectedFault refused(InjectedFault::Call::kCopyRange, "/src/a.bin",
                                            c.copiedFirst, c.error);
                const CopyResult copied =
                    CopyFileKeepingDate(folder.Path("src/a.bin"), folder.Path("dst/a.bin"));
                EXPECT_TRUE(copied.copied && !copied.failure) << *copied.failure;
            }
            EXPECT_TRUE(folder.Read("dst/a.bin") == content);
            EXPECT_TRUE(LooksUpToDate(folder, "src/a.bin", "dst/a.bin"));
            EXPECT_EQ(Names(folder, "dst"), std::set<std::string>{"a.bin"});
        }
    }
}

// No read, nor an in-kernel copy, asks for more than what is left of the measured size rounded up
// to whole 2048-byte chunks. Read and written, a file takes reads of up to 64 KiB, and one of
// 1 MiB or more reads of up to 1 MiB; in the kernel the first call asks for the whole.
TEST(CopyFileKeepingDateTest, NothingAsksPastTheMeasuredSizeRoundedUpTo2048) {
    if (!WatchedCalls::Available()) GTEST_SKIP() << "the fault shim is preloaded by ctest";
    constexpr long long k64KiB = 65536;
    constexpr long long k1MiB = 1048576;
    struct Case {
        std::size_t size;
        std::vector<long long> reads;  // read and written
    };
    const Case cases[] = {
        {0, {}},
        {100, {2048}},
        {2048, {2048}},
        {2049, {4096}},
        {k64KiB, {k64KiB}},
        {k64KiB + 1, {k64KiB, 2048}},
        {3 * k64KiB + 5000, {k64KiB, k64KiB, k64KiB, 6144}},
        {k1MiB - 1, std::vector<long long>(16, k64KiB)},
        {k1MiB, {k1MiB}},
        {2 * k1MiB + 5000, {k1MiB, k1MiB, 6144}},
    };
    for (const Moved moved : kBothWays) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::to_string(c.size) + " bytes, " + Name(moved));
            TestFolder folder;
            std::string content(c.size, 'r');
            for (std::size_t i = 0; i < content.size(); i += 1000)
                content[i] = static_cast<char>(i);
            folder.Write("src.bin", content, kNewSourceTime);
            {
                const Refusing refused(moved, folder.Path("src.bin"));
                const WatchedCalls calls(folder.Path("src.bin"));
                ASSERT_TRUE(CopyFileKeepingDate(folder.Path("src.bin"), folder.Path("dst.bin")));
                std::vector<long long> asked = calls.ReadSizes();
                if (moved == Moved::kInTheKernel) {
                    const long long chunked = (c.size + 2047) / 2048 * 2048;
                    ASSERT_EQ(asked.empty(), c.size == 0);
                    if (!asked.empty()) {
                        EXPECT_EQ(asked.front(), chunked);
                    }
                    for (const long long ask : asked) EXPECT_LE(ask, chunked);
                } else {
                    if (!asked.empty()) asked.erase(asked.begin());  // the refused kernel copy
                    EXPECT_EQ(asked, c.reads);
                }
            }
            EXPECT_TRUE(folder.Read("dst.bin") == content);
        }
    }
}

// A source that another program lengthens while it is copied: the copy holds its measured size
// rounded up to whole 2048-byte chunks, never more, and passes for a whole copy.
TEST(CopyFileKeepingDateTest, ASourceThatGrowsWhileCopiedGivesItsMeasuredSizeRoundedUpTo2048) {
    if (!InjectedFault::Available()) GTEST_SKIP() << "the fault shim is preloaded by ctest";
    struct Case {
        std::size_t measured;
        std::size_t copied;
    };
    const Case cases[] = {
        {5000, 6144},   {2048, 2048},     {40 * 2048 + 1, 41 * 2048},
        {65536, 65536}, {200000, 200704}, {1048576 + 1, 1048576 + 2048},
    };
    for (const Moved moved : kBothWays) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::to_string(c.measured) + " bytes, " + Name(moved));
            TestFolder folder;
            folder.Write("src.bin", std::string(c.measured, 'm'), kNewSourceTime);
            {
                const Refusing refused(moved, "src.bin");
                const InjectedFault grows(InjectedFault::Call::kGrowBeforeRead, "src.bin", 100000);
                ASSERT_TRUE(CopyFileKeepingDate(folder.Path("src.bin"), folder.Path("dst.bin")));
            }
            EXPECT_EQ(folder.Read("src.bin").size(), c.measured + 100000);
            EXPECT_TRUE(folder.Read("dst.bin") == folder.Read("src.bin").substr(0, c.copied));
        }
    }
}

// A real file system that copies nothing in the kernel across to another one: a FUSE mount
// (bindfs) answers copy_file_range between it and the disk with EXDEV. Copies into it, out of it
// and within it are whole and stamped.
TEST(CopyFileKeepingDateTest, CopiesToAndFromAFuseMountAreWhole) {
    TestFolder folder;
    folder.MakeFolder("disk");
    folder.MakeFolder("mount");
    const FuseFolder fuse(folder.Path("disk"), folder.Path("mount"));
    if (!fuse.Mounted()) GTEST_SKIP() << fuse.WhyNot();
    std::string content(3 * 65536 + 777, 'f');
    for (std::size_t i = 0; i < content.size(); i += 777) content[i] = static_cast<char>(i);
    folder.Write("local/src.bin", content, kNewSourceTime);
    folder.Write("mount/src.bin", content, kNewSourceTime);
    struct Case {
        const char* source;
        const char* destination;
    };
    for (const Case& c :
         {Case{"local/src.bin", "mount/in.bin"}, Case{"mount/src.bin", "local/out.bin"},
          Case{"mount/src.bin", "mount/within.bin"}}) {
        SCOPED_TRACE(std::string(c.source) + " to " + c.destination);
        const CopyResult copied =
            CopyFileKeepingDate(folder.Path(c.source), folder.Path(c.destination));
        ASSERT_TRUE(copied.copied && !copied.failure) << *copied.failure;
        EXPECT_TRUE(folder.Read(c.destination) == content);
        EXPECT_TRUE(LooksUpToDate(folder, c.source, c.destination));
    }
    EXPECT_EQ(Names(folder, "mount"), (std::set<std::string>{"src.bin", "in.bin", "within.bin"}));
}

// The same file named twice (letter case of drive, server or share, a hard link), or the
// temporary name of the destination: nothing may change.
TEST(CopyFileKeepingDateTest, TheSameFileUnderAnotherSpellingIsRefusedAndKept) {
    TestFolder folder;
    platform::SetDosDevicesRoot(folder.Path());
    folder.Write("unc/srv01/c/Tavix/a.dat", "precious a");
    folder.Write("c:/T/b.dat", "precious b");
    std::filesystem::create_hard_link(folder.Host("c:/T/b.dat"), folder.Host("c:/T/link.dat"));
    folder.Write("c:/T/" + TemporaryCopyName("c.dat"), "precious c");
    struct Case {
        std::string source;
        std::string destination;
        std::string file;
        std::string content;
    };
    const Case cases[] = {
        {"\\\\SRV01\\C\\Tavix\\a.dat", "\\\\srv01\\c\\Tavix\\a.dat", "unc/srv01/c/Tavix/a.dat",
         "precious a"},
        {"C:\\T\\b.dat", "c:\\T\\b.dat", "c:/T/b.dat", "precious b"},
        {"C:\\T\\b.dat", "C:\\T\\link.dat", "c:/T/b.dat", "precious b"},
        {TemporaryCopyName("C:\\T\\c.dat"), "C:\\T\\c.dat", "c:/T/" + TemporaryCopyName("c.dat"),
         "precious c"},
    };
    for (const Case& c : cases) {
        const CopyResult copied = CopyFileKeepingDate(c.source, c.destination);
        EXPECT_FALSE(copied.copied) << c.destination;
        EXPECT_EQ(copied.failure,
                  "The process cannot access the file because it is being used by another "
                  "process.")
            << c.destination;
        EXPECT_EQ(folder.Read(c.file), c.content) << c.destination;
    }
    EXPECT_EQ(Names(folder, "c:/T"),
              (std::set<std::string>{"b.dat", "link.dat", TemporaryCopyName("c.dat")}));
    platform::SetDosDevicesRoot("");
}

// Windows refuses to replace a read-only, hidden or system file with a file of plain attributes.
// One that is a copy of Duplora's own (its time an MS-DOS time) got those attributes from the
// server: the server's newer version replaces it, with its own attributes. One whose time is no
// MS-DOS time is the standby machine's own: refused and kept. A folder is no file to replace.
TEST(CopyFileKeepingDateTest, AProtectedDestinationIsReplacedOnlyWhenItIsACopyOfDuplorasOwn) {
    struct Case {
        const char* name;  // on POSIX a name that begins with "." is what makes a file hidden
        std::uint32_t attribute;
    };
    std::vector<Case> cases = {{"locked.txt", platform::kAttrReadOnly},
                               {".hidden", platform::kAttrHidden}};
#ifdef _WIN32
    cases.push_back({"system.dll", platform::kAttrSystem});
#endif
    for (const Case& c : cases) {
        for (const bool duplorasOwn : {true, false}) {
            SCOPED_TRACE(std::string(c.name) +
                         (duplorasOwn ? ", Duplora's copy" : ", the standby's"));
            TestFolder folder;
            folder.Write("src.txt", "new", kNewSourceTime);
            folder.Write(c.name, "old",
                         duplorasOwn ? kOlderCopyTime : kOlderCopyTime + std::chrono::seconds(1));
#ifndef _WIN32
            if (c.attribute != platform::kAttrHidden)
#endif
                ASSERT_TRUE(platform::SetAttributes(folder.Path(c.name), c.attribute));
            const CopyResult copied =
                CopyFileKeepingDate(folder.Path("src.txt"), folder.Path(c.name));
            EXPECT_EQ(copied.copied, duplorasOwn);
            if (duplorasOwn) {
                EXPECT_EQ(copied.failure, std::nullopt);
                EXPECT_EQ(folder.Read(c.name), "new");
                EXPECT_TRUE(LooksUpToDate(folder, "src.txt", c.name));
                EXPECT_FALSE(platform::GetAttributes(folder.Path(c.name)) &
                             (platform::kAttrReadOnly | platform::kAttrSystem));
            } else {
                EXPECT_EQ(copied.failure, "Access is denied.");
                EXPECT_EQ(folder.Read(c.name), "old");
                EXPECT_TRUE(platform::GetAttributes(folder.Path(c.name)) & c.attribute);
            }
            EXPECT_EQ(Names(folder), (std::set<std::string>{"src.txt", c.name}));
        }
    }
    TestFolder folder;
    folder.Write("src.txt", "new");
    folder.Write("folder/inside.txt", "old");
    const CopyResult copied = CopyFileKeepingDate(folder.Path("src.txt"), folder.Path("folder"));
    EXPECT_EQ(copied.failure, "Access is denied.");
    EXPECT_EQ(folder.Read("folder/inside.txt"), "old");
}

// A link in the destination folder does not carry the copy anywhere else.
TEST(CopyFileKeepingDateTest, ALinkAtTheDestinationIsReplacedNotWrittenThrough) {
    TestFolder folder;
    folder.Write("outside/cron.txt", "untouched");
    folder.Write("src/a.dat", "new content", kNewSourceTime);
    folder.MakeFolder("dst");
    std::filesystem::create_symlink(folder.Host("outside/cron.txt"), folder.Host("dst/a.dat"));

    ASSERT_TRUE(CopyFileKeepingDate(folder.Path("src/a.dat"), folder.Path("dst/a.dat")));
    EXPECT_EQ(folder.Read("outside/cron.txt"), "untouched");
    EXPECT_FALSE(std::filesystem::is_symlink(folder.Host("dst/a.dat")));
    EXPECT_EQ(folder.Read("dst/a.dat"), "new content");
}

// A named pipe, a device or a socket is never opened for a read that could wait forever.
TEST(CopyFileKeepingDateTest, OnlyRegularFilesAreCopied) {
    TestFolder folder;
    ASSERT_EQ(mkfifo(folder.Host("pipe").c_str(), 0644), 0);
    for (const std::string& source : {folder.Path("pipe"), std::string("/dev/zero")}) {
        const CopyResult copied = CopyFileKeepingDate(source, folder.Path("copy"));
        EXPECT_FALSE(copied.copied) << source;
        EXPECT_EQ(copied.failure, "Not a regular file") << source;
    }
    EXPECT_EQ(Names(folder), std::set<std::string>{"pipe"});
}

TEST(CopyFileKeepingDateTest, TheCopyIsNoMoreReadableThanItsSource) {
    struct Case {
        mode_t source;
        mode_t copy;
    };
    const Case cases[] = {
        {0600, 0600}, {0640, 0640},  {0755, 0755},
        {0444, 0444}, {04755, 0755},  // a set-user-id bit is not carried to a copy that root owns
    };
    for (const Case& c : cases) {
        TestFolder folder;
        folder.Write("src.txt", "secret");
        ASSERT_EQ(chmod(folder.Host("src.txt").c_str(), c.source), 0);
        ASSERT_TRUE(CopyFileKeepingDate(folder.Path("src.txt"), folder.Path("dst.txt")));
        struct stat st {};
        ASSERT_EQ(stat(folder.Host("dst.txt").c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 07777, c.copy) << std::oct << c.source;
    }
}

// The copy is whole and has the server's time, so it takes its place; what it lacks is said.
TEST(CopyFileKeepingDateTest, PermissionsThatCannotBeCarriedAreReported) {
    if (!InjectedFault::Available()) GTEST_SKIP() << "the fault shim is preloaded by ctest";
    TestFolder folder;
    folder.Write("src/src.bin", "new", kNewSourceTime);
    folder.Write("dst/dst.bin", "older copy", kOlderCopyTime);
    const InjectedFault refused(InjectedFault::Call::kSetMode, "/dst/", 0, EPERM);
    const CopyResult copied =
        CopyFileKeepingDate(folder.Path("src/src.bin"), folder.Path("dst/dst.bin"));
    EXPECT_TRUE(copied.copied);
    EXPECT_EQ(copied.failure,
              "a cópia não recebeu as permissões do servidor: Operation not permitted");
    EXPECT_EQ(folder.Read("dst/dst.bin"), "new");
    EXPECT_TRUE(LooksUpToDate(folder, "src/src.bin", "dst/dst.bin"));
}

#endif  // _WIN32

TEST(CopyFileKeepingDateTest, SparseFileOver4GiBIsCopiedWholeAndExact) {
    TestFolder folder;
    const std::uint64_t size = (1ULL << 32) + 3000;
    const std::uint64_t marks[] = {0,          (1ULL << 31) - 1, 1ULL << 31, (1ULL << 32) - 1,
                                   1ULL << 32, size - 8};
    {
        std::ofstream out(folder.Host("big.bin"), std::ios::binary);
        for (std::uint64_t at : marks) {
            out.seekp(static_cast<std::streamoff>(at));
            out << "MARK" << at % 1000;
        }
    }
    std::filesystem::resize_file(folder.Host("big.bin"), size);
    folder.SetTime("big.bin", LocalTime(2020, 2, 29, 23, 59, 58));

    ASSERT_TRUE(CopyFileKeepingDate(folder.Path("big.bin"), folder.Path("copy.bin")));
    EXPECT_EQ(std::filesystem::file_size(folder.Host("copy.bin")), size);
    std::ifstream source(folder.Host("big.bin"), std::ios::binary);
    std::ifstream copy(folder.Host("copy.bin"), std::ios::binary);
    for (std::uint64_t at : marks) {
        char a[12] = {}, b[12] = {};
        source.seekg(static_cast<std::streamoff>(at));
        copy.seekg(static_cast<std::streamoff>(at));
        source.read(a, 8);
        copy.read(b, 8);
        EXPECT_EQ(std::string(a, 8), std::string(b, 8)) << "at " << at;
    }
    EXPECT_TRUE(LooksUpToDate(folder, "big.bin", "copy.bin"));
}

#ifndef _WIN32

TEST(RunAndWaitTest, RunsTheFileInItsFolderWithItsParametersAndWaits) {
    TestFolder folder;
    // Not executable: it runs through the shell. The pause shows that the call waits.
    folder.Write("tools/job.sh",
                 "sleep 0.3\n"
                 "printf '%s|%s|%s' \"$(pwd)\" \"$1\" \"$2\" > ran.txt\n");
    TestFolder elsewhere;
    std::filesystem::current_path(elsewhere.Host());

    // The parameters stand right behind the closing quote; a caller begins them with a blank.
    ASSERT_TRUE(RunAndWait(folder.Path("tools") + "\\job.sh", " first \"second word\"", 1));
    EXPECT_EQ(folder.Read("tools/ran.txt"),
              std::filesystem::canonical(folder.Host("tools")).string() + "|first|second word");
    std::filesystem::current_path("/");
}

TEST(RunAndWaitTest, StartsAnExecutableItself) {
    TestFolder folder;
    folder.Write("run.sh", "#!/bin/sh\necho \"$0\" > started.txt\n");
    std::filesystem::permissions(folder.Host("run.sh"), std::filesystem::perms::owner_exec,
                                 std::filesystem::perm_options::add);
    ASSERT_TRUE(RunAndWait(folder.Path("run.sh"), "", 1));
    EXPECT_EQ(folder.Read("started.txt"), folder.Path("run.sh") + "\n");
}

// The exit code as the command interpreter shows it; a process ended by a signal, as the shell
// shows it (128 and the signal's number).
TEST(RunAndWaitTest, GivesTheExitCode) {
    struct Case {
        const char* script;
        int exitCode;
    };
    const Case cases[] = {
        {"true\n", 0}, {"exit 3\n", 3}, {"exit 255\n", 255}, {"kill -9 $$\n", 137}};
    for (const Case& c : cases) {
        TestFolder folder;
        folder.Write("Duplora.bat", c.script);
        EXPECT_EQ(RunAndWait(folder.Path("Duplora.bat"), "", 1), c.exitCode) << c.script;
    }
}

// The system refuses an executable script without a "#!" line; shells run it themselves.
TEST(RunAndWaitTest, AnExecutableScriptWithoutInterpreterLineRunsThroughTheShell) {
    TestFolder folder;
    folder.Write("Duplora.bat", "echo ran > ran.txt\n");
    std::filesystem::permissions(folder.Host("Duplora.bat"), std::filesystem::perms::owner_exec,
                                 std::filesystem::perm_options::add);
    ASSERT_TRUE(RunAndWait(folder.Path("Duplora.bat"), "", 1));
    EXPECT_EQ(folder.Read("ran.txt"), "ran\n");
}

#endif  // _WIN32

// A double quote would end the quoted file name early and start another program: the part
// before it (here an executable "x" beside the folder "x\" y", where the system allows one).
TEST(RunAndWaitTest, AQuoteInThePathIsRefusedAndNothingRuns) {
    TestFolder folder;
#ifndef _WIN32
    folder.Write("x\" y/Duplora.bat", "echo batch > ran.txt\n");
    folder.Write("x", "#!/bin/sh\necho \"$@\" > '" + folder.Path("x-ran.txt") + "'\n");
    std::filesystem::permissions(folder.Host("x"), std::filesystem::perms::owner_exec,
                                 std::filesystem::perm_options::add);
#endif
    EXPECT_FALSE(RunAndWait(folder.Path("x\" y") + "\\Duplora.bat", "", 1));
    EXPECT_EQ(platform::LastErrorText(), platform::ErrorText(platform::SystemError::kInvalidName));
    EXPECT_FALSE(folder.Exists("x-ran.txt"));
}

TEST(RunAndWaitTest, AFileThatCannotBeStartedGivesFalse) {
    TestFolder folder;
    EXPECT_FALSE(RunAndWait(folder.Path("missing.bat"), "", 1));
    EXPECT_FALSE(RunAndWait("Musicas:\\Duplora.bat", "", 1));
}
