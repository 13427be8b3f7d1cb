// Cases that rest on the Win32 API itself: the Windows build runs them (under Wine here).

#include <gtest/gtest.h>
#include <windows.h>

#include <cctype>
#include <filesystem>
#include <fstream>
#include <set>

#include "engine/FolderMirror.h"
#include "engine/FolderWalk.h"
#include "funcoes/U_Funcoes.h"
#include "platform/Files.h"
#include "platform/Process.h"
#include "platform/SystemError.h"
#include "support/RecordingView.h"
#include "support/TestFolder.h"

namespace {

// Puts the process in `folder` for one test and back where it was afterwards.
class CurrentDirectoryScope {
public:
    explicit CurrentDirectoryScope(const std::string& folder)
        : previous_(std::filesystem::current_path()) {
        std::filesystem::current_path(folder);
    }
    ~CurrentDirectoryScope() {
        std::error_code ignored;
        std::filesystem::current_path(previous_, ignored);
    }

private:
    std::filesystem::path previous_;
};

// Another program holding a file open with no sharing, as the playout system does.
class HeldOpen {
public:
    explicit HeldOpen(const std::string& path)
        : handle_(CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr)) {}
    ~HeldOpen() {
        if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
    }
    bool Held() const { return handle_ != INVALID_HANDLE_VALUE; }

private:
    HANDLE handle_;
};

const auto kSourceTime = LocalTime(2024, 3, 10, 14, 20, 30);

}  // namespace

// The backup run takes the batch file from the current directory, which the system reports
// with its trailing "\" at a drive root: the path then holds two backslashes, and still runs.
TEST(Win32RunTest, BatchFileAtADriveRootRunsThroughItsDoubledBackslash) {
    TestFolder folder;
    const std::string root = folder.Path().substr(0, 3);  // "C:\"
    ASSERT_EQ(root.substr(1), ":\\");
    const std::string batch = root + "Duplora.bat";
    if (std::filesystem::exists(batch)) GTEST_SKIP() << batch << " exists already";
    {
        std::ofstream out(batch, std::ios::binary);
        out << "@echo off\r\ncd > \"" << folder.Path("where.txt") << "\"\r\n";
        if (!out) GTEST_SKIP() << "cannot write " << batch;
    }
    const CurrentDirectoryScope scope(root);

    EXPECT_EQ(platform::CurrentDirectory(), root);
    const std::string path = platform::CurrentDirectory() + "\\Duplora.bat";
    EXPECT_EQ(path, root.substr(0, 2) + "\\\\Duplora.bat");  // C:\\Duplora.bat
    EXPECT_EQ(RunAndWait(path, "", 1), 0);
    EXPECT_EQ(folder.Read("where.txt"), root + "\r\n");
    std::filesystem::remove(batch);
}

TEST(Win32RunTest, BatchFileRunsByItsInterpreterInItsFolderWithItsParametersAndWaits) {
    TestFolder folder;
    folder.Write("tools dir/job.bat",
                 "@echo off\r\n"
                 "cd > ran.txt\r\n"
                 "echo %~1>> ran.txt\r\n"
                 "echo %~2>> ran.txt\r\n");
    TestFolder elsewhere;
    const CurrentDirectoryScope scope(elsewhere.Path());

    // The parameters stand right behind the closing quote; a caller begins them with a blank.
    ASSERT_TRUE(RunAndWait(folder.Path("tools dir") + "\\job.bat", " first \"second word\"", 1));
    EXPECT_EQ(folder.Read("tools dir/ran.txt"),
              folder.Path("tools dir") + "\r\nfirst\r\nsecond word\r\n");
    EXPECT_FALSE(elsewhere.Exists("ran.txt"));
}

// The exit code as cmd shows %ERRORLEVEL%: signed.
TEST(Win32RunTest, GivesTheBatchFilesExitCode) {
    struct Case {
        const char* line;
        int exitCode;
    };
    const Case cases[] = {{"exit /b 0", 0}, {"exit /b 3", 3}, {"exit /b -1", -1}};
    for (const Case& c : cases) {
        TestFolder folder;
        folder.Write("Duplora.bat", std::string("@echo off\r\n") + c.line + "\r\n");
        EXPECT_EQ(RunAndWait(folder.Path("Duplora.bat"), "", 1), c.exitCode) << c.line;
    }
}

// A read-only, hidden or system copy follows the server's newer versions: it has those attributes
// because the server's file had them (its time is the MS-DOS time it was stamped with), and the
// rename clears them first, which Windows asks for. The newer version brings its own attributes.
TEST(Win32CopyTest, ReadOnlyHiddenAndSystemAttributesAreCarriedAndTheCopiesFollowTheServer) {
    using platform::kAttrArchive;
    struct Case {
        const char* name;
        std::uint32_t attributes;
    };
    const Case cases[] = {
        {"read-only", platform::kAttrReadOnly},
        {"hidden", platform::kAttrHidden},
        {"system", platform::kAttrSystem},
        {"all three", platform::kAttrReadOnly | platform::kAttrHidden | platform::kAttrSystem},
    };
    for (const Case& c : cases) {
        TestFolder folder;
        folder.Write("src.txt", "first", kSourceTime);
        ASSERT_TRUE(platform::SetAttributes(folder.Path("src.txt"), c.attributes | kAttrArchive));
        ASSERT_TRUE(CopyFileKeepingDate(folder.Path("src.txt"), folder.Path("dst.txt"))) << c.name;
        EXPECT_EQ(folder.Read("dst.txt"), "first") << c.name;
        EXPECT_EQ(platform::GetAttributes(folder.Path("dst.txt")), c.attributes | kAttrArchive)
            << c.name;
        EXPECT_EQ(folder.Time("dst.txt"), kSourceTime) << c.name;

        platform::SetAttributes(folder.Path("src.txt"), kAttrArchive);
        folder.Write("src.txt", "second", kSourceTime + std::chrono::hours(1));
        EXPECT_TRUE(CopyFileKeepingDate(folder.Path("src.txt"), folder.Path("dst.txt")).copied)
            << c.name;
        EXPECT_EQ(folder.Read("dst.txt"), "second") << c.name;
        EXPECT_EQ(platform::GetAttributes(folder.Path("dst.txt")), kAttrArchive) << c.name;
    }
}

TEST(Win32CopyTest, AFileOpenInAnotherProgramIsNotCopied) {
    TestFolder folder;
    folder.Write("src.txt", "new", kSourceTime);
    folder.Write("dst.txt", "old", kSourceTime - std::chrono::hours(1));
    {
        const HeldOpen source(folder.Path("src.txt"));
        ASSERT_TRUE(source.Held());
        EXPECT_FALSE(CopyFileKeepingDate(folder.Path("src.txt"), folder.Path("dst.txt")));
        EXPECT_EQ(folder.Read("dst.txt"), "old");
    }
    {
        // The new copy is written beside it, but cannot take its place.
        const HeldOpen destination(folder.Path("dst.txt"));
        ASSERT_TRUE(destination.Held());
        EXPECT_FALSE(CopyFileKeepingDate(folder.Path("src.txt"), folder.Path("dst.txt")));
    }
    EXPECT_EQ(folder.Read("dst.txt"), "old");
    EXPECT_FALSE(folder.Exists(TemporaryCopyName("dst.txt")));
    EXPECT_TRUE(CopyFileKeepingDate(folder.Path("src.txt"), folder.Path("dst.txt")));
    EXPECT_EQ(folder.Read("dst.txt"), "new");
}

// The same file under another spelling, or the destination's temporary file, which the copy
// would remove first: the copy must not stand in for it, and nothing changes.
TEST(Win32CopyTest, TheSameFileUnderAnotherSpellingOrTheTemporaryFileIsRefusedAndKept) {
    TestFolder folder;
    folder.Write("Tavix/b.dat", "precious");
    const std::string temporary = "Tavix/" + TemporaryCopyName("c.dat");
    folder.Write(temporary, "precious too");
    std::string otherSpelling = folder.Path("Tavix/b.dat");
    for (char& c : otherSpelling)
        c = static_cast<char>(std::islower(c) ? std::toupper(c) : std::tolower(c));
    ASSERT_NE(otherSpelling, folder.Path("Tavix/b.dat"));
    struct Case {
        std::string source;
        std::string destination;
        std::string file;
        std::string content;
    };
    const Case cases[] = {
        {folder.Path("Tavix/b.dat"), otherSpelling, "Tavix/b.dat", "precious"},
        {folder.Path(temporary), folder.Path("Tavix/c.dat"), temporary, "precious too"},
    };
    for (const Case& c : cases) {
        const CopyResult copied = CopyFileKeepingDate(c.source, c.destination);
        EXPECT_FALSE(copied.copied) << c.destination;
        EXPECT_EQ(copied.failure, platform::ErrorText(platform::SystemError::kSharingViolation))
            << c.destination;
        EXPECT_EQ(folder.Read(c.file), c.content) << c.destination;
    }
    EXPECT_FALSE(folder.Exists("Tavix/" + TemporaryCopyName("b.dat")));
    EXPECT_FALSE(folder.Exists("Tavix/c.dat"));
}

TEST(Win32MirrorTest, AFileHeldOpenIsLeftAndTheNextRunCopiesIt) {
    TestFolder folder;
    RecordingView view;
    FolderMirror mirror{view};
    folder.Write("src/free.txt", "free", kSourceTime);
    folder.Write("src/held.txt", "held", kSourceTime);
    {
        const HeldOpen held(folder.Path("src/held.txt"));
        ASSERT_TRUE(held.Held());
        EXPECT_TRUE(mirror.MirrorFolder(folder.Path("src"), folder.Path("dst"), true));
    }
    EXPECT_EQ(folder.Read("dst/free.txt"), "free");
    EXPECT_FALSE(folder.Exists("dst/held.txt"));
    EXPECT_TRUE(mirror.MirrorFolder(folder.Path("src"), folder.Path("dst"), true));
    EXPECT_EQ(folder.Read("dst/held.txt"), "held");
}

// Hidden and system are attributes of their own here, not a matter of the name.
TEST(Win32MirrorTest, HiddenAndSystemFoldersAreNotEnteredButHiddenFilesAreCopied) {
    TestFolder folder;
    RecordingView view;
    FolderMirror mirror{view};
    folder.Write("src/Hidden/a.txt", "a", kSourceTime);
    folder.Write("src/System/b.txt", "b", kSourceTime);
    folder.Write("src/Plain/c.txt", "c", kSourceTime);
    folder.Write("src/secret.txt", "s", kSourceTime);
    ASSERT_TRUE(platform::SetAttributes(folder.Path("src/Hidden"), platform::kAttrHidden));
    ASSERT_TRUE(platform::SetAttributes(folder.Path("src/System"), platform::kAttrSystem));
    ASSERT_TRUE(platform::SetAttributes(folder.Path("src/secret.txt"),
                                        platform::kAttrHidden | platform::kAttrArchive));

    std::set<std::string> walked;
    ListFolder(platform::Folder(folder.Path("src")), [&](const ListedEntry& entry) {
        if (IsWalkedSubfolder(entry)) walked.insert(entry.name);
    });
    EXPECT_EQ(walked, std::set<std::string>{"Plain"});

    EXPECT_TRUE(mirror.MirrorFolder(folder.Path("src"), folder.Path("dst"), true));
    EXPECT_EQ(folder.Read("dst/Plain/c.txt"), "c");
    EXPECT_EQ(folder.Read("dst/secret.txt"), "s");
    EXPECT_EQ(platform::GetAttributes(folder.Path("dst/secret.txt")),
              platform::kAttrHidden | platform::kAttrArchive);
    EXPECT_FALSE(folder.Exists("dst/Hidden"));
    EXPECT_FALSE(folder.Exists("dst/System"));
}

TEST(Win32PlatformTest, ExecutableFolderHoldsTheRunningProgram) {
    const std::string folder = platform::ExecutableFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(folder.back(), '\\');
    EXPECT_TRUE(std::filesystem::exists(folder + "Win32PlatformTest.exe"));
}

TEST(Win32PlatformTest, LastErrorTextIsTheSystemsOwnLine) {
    TestFolder folder;
    EXPECT_EQ(platform::OpenForReading(folder.Path("missing.txt")), platform::kInvalidFile);
    const std::string text = platform::LastErrorText();
    EXPECT_FALSE(text.empty());
    EXPECT_EQ(text.find_first_of("\r\n"), std::string::npos) << text;
}
