#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "U_Funcoes.h"
#include "platform/Platform.h"
#include "support/TestFolder.h"

#ifndef _WIN32
#include <sys/mount.h>
#endif

namespace {

std::optional<platform::DosDateTime> DosTimeOf(const TestFolder& folder, const std::string& name) {
    const platform::DirectorySearch search(folder.Path(name));
    return search.Found() ? platform::ToDosDateTime(search.Entry().lastWriteTime) : std::nullopt;
}

// Whether `copy` would pass for an up-to-date copy of `source` at the next run.
bool LooksUpToDate(const TestFolder& folder, const std::string& source, const std::string& copy) {
    const auto copyTime = DosTimeOf(folder, copy);
    return copyTime && copyTime == DosTimeOf(folder, source);
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

TEST(CopyFileKeepingDateTest, ReadOnlySourceGivesReadOnlyCopyThatLaterCopiesCannotReplace) {
    TestFolder folder;
    folder.Write("src.txt", "first");
    platform::SetAttributes(folder.Path("src.txt"), platform::kAttrReadOnly);
    ASSERT_TRUE(CopyFileKeepingDate(folder.Path("src.txt"), folder.Path("dst.txt")));
    EXPECT_TRUE(platform::GetAttributes(folder.Path("dst.txt")) & platform::kAttrReadOnly);

    platform::SetAttributes(folder.Path("src.txt"), platform::kAttrArchive);
    folder.Write("src.txt", "second");
    EXPECT_FALSE(CopyFileKeepingDate(folder.Path("src.txt"), folder.Path("dst.txt")));
    EXPECT_EQ(folder.Read("dst.txt"), "first");
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

#ifndef _WIN32

// A destination on a full disk: writes come back short or fail part-way.
TEST(CopyFileKeepingDateTest, AFailedWriteLeavesNothingThatLooksUpToDate) {
    TestFolder folder;
    folder.MakeFolder("small");
    if (mount("tmpfs", folder.Path("small").c_str(), "tmpfs", 0, "size=64k") != 0)
        GTEST_SKIP() << "cannot mount a small file system here";
    folder.Write("src.bin", std::string(256 * 1024, 'z'), LocalTime(2022, 1, 2, 3, 4, 6));
    folder.Write("small/dst.bin", "older copy", LocalTime(2021, 1, 1, 0, 0, 0));

    EXPECT_FALSE(CopyFileKeepingDate(folder.Path("src.bin"), folder.Path("small/dst.bin")));
    EXPECT_FALSE(LooksUpToDate(folder, "src.bin", "small/dst.bin"));
    umount(folder.Path("small").c_str());
}

// A source that ends before its measured size: the read returns nothing early.
TEST(CopyFileKeepingDateTest, AReadThatEndsEarlyLeavesNothingThatLooksUpToDate) {
    const std::string shrinking = "/sys/devices/system/cpu/online";  // reports 4096, holds less
    if (!std::filesystem::exists(shrinking) || std::filesystem::file_size(shrinking) <= 64)
        GTEST_SKIP() << "no sysfs attribute to read here";
    TestFolder folder;
    EXPECT_FALSE(CopyFileKeepingDate(shrinking, folder.Path("dst.txt")));
    EXPECT_FALSE(folder.Exists("dst.txt"));
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

#endif  // _WIN32

TEST(RunAndWaitTest, AFileThatCannotBeStartedGivesFalse) {
    TestFolder folder;
    EXPECT_FALSE(RunAndWait(folder.Path("missing.bat"), "", 1));
    EXPECT_FALSE(RunAndWait("Musicas:\\Duplora.bat", "", 1));
}
