#include <gtest/gtest.h>

#include <stdexcept>

#include "engine/FolderMirror.h"
#include "engine/FolderSize.h"
#include "support/RecordingView.h"
#include "support/TestFolder.h"

namespace {

constexpr double kMB = 1024.0 * 1024.0;

// A tree with subfolders, hidden files, a hidden folder and an empty file.
void WriteTree(TestFolder& folder) {
    folder.Write("src/a.bin", std::string(300000, 'a'));
    folder.Write("src/.hidden.bin", std::string(70000, 'h'));
    folder.Write("src/empty.txt", "");
    folder.Write("src/sub/b.bin", std::string(123457, 'b'));
    folder.Write("src/sub/deeper/.c.bin", std::string(999, 'c'));
    folder.Write("src/.hidden-folder/skipped.bin", std::string(500000, 's'));
}
constexpr double kTreeBytes = 300000 + 70000 + 123457 + 999;

}  // namespace

TEST(FolderSizeTest, CountsWhatTheMirrorWalks) {
    TestFolder folder;
    WriteTree(folder);
    RecordingView view;
    EXPECT_DOUBLE_EQ(FolderSizeMB(folder.Path("src"), true, view), kTreeBytes / kMB);
    EXPECT_DOUBLE_EQ(FolderSizeMB(folder.Path("src") + "\\", true, view), kTreeBytes / kMB);
    EXPECT_DOUBLE_EQ(FolderSizeMB(folder.Path("src"), false, view), (300000 + 70000) / kMB);
    EXPECT_DOUBLE_EQ(FolderSizeMB(folder.Path("missing"), true, view), 0);
    EXPECT_TRUE(view.walked.empty());
}

TEST(FolderSizeTest, ProcessesMessagesAfterEveryEntry) {
    TestFolder folder;
    folder.Write("src/a", "1");
    folder.Write("src/b", "2");
    RecordingView view;
    FolderSizeMB(folder.Path("src"), false, view);
    EXPECT_EQ(view.processed, 2);  // "." and ".." are no entries of the folder
}

TEST(FolderSizeTest, AnEmptyPathIsRefused) {
    RecordingView view;
    EXPECT_THROW(FolderSizeMB("", true, view), std::invalid_argument);
}

TEST(FolderSizeTest, AFailureGivesTheTotalReachedSoFar) {
    TestFolder folder;
    for (const char* name : {"a", "b", "c", "d", "e"})
        folder.Write(std::string("src/") + name, std::string(1000, 'x'));
    RecordingView view;
    int entries = 0;
    // The third entry fails: "." and ".." may be among the first three, so one to three files
    // count.
    view.onProcessMessages = [&] {
        if (++entries == 3) throw std::runtime_error("window gone");
    };
    const double partial = FolderSizeMB(folder.Path("src"), false, view);
    EXPECT_GE(partial, 1000 / kMB);
    EXPECT_LE(partial, 3000 / kMB);
}

TEST(FolderSizeTest, ACompleteMirrorEndsWithCopiedAtTheTotal) {
    TestFolder folder;
    WriteTree(folder);
    RecordingView view;
    FolderMirror mirror(view);
    mirror.TotalMB = FolderSizeMB(folder.Path("src"), true, view);
    mirror.CopiedMB = 0;
    ASSERT_TRUE(mirror.MirrorFolder(folder.Path("src"), folder.Path("dst"), true));
    EXPECT_NEAR(mirror.CopiedMB, mirror.TotalMB, 1e-9);
    EXPECT_DOUBLE_EQ(view.walked.back().copiedMB, mirror.CopiedMB);
    EXPECT_DOUBLE_EQ(view.walked.back().totalMB, mirror.TotalMB);
}
