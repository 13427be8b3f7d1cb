// The private-profile rules, as one table of cases. The same table runs against the POSIX
// backend and, in the Windows build, against the real GetPrivateProfileStringA and
// WritePrivateProfileStringA.

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "platform/Files.h"
#include "platform/Profile.h"
#include "support/TestFolder.h"
#include "support/Wine.h"

#ifndef _WIN32
#include <sys/stat.h>

#include "support/WatchedCalls.h"
#ifndef _WIN32
#include "platform/posix/HostPath.h"
#endif
#endif

namespace {

struct ProfileWrite {
    std::string section, key, value;
};

struct ProfileRead {
    std::string section, key, defaultValue, expected;
};

// How a run against Wine's own implementation of the functions may check a case.
enum class UnderWine {
    kSame,
    // Wine rewrites the whole file in its own layout (CR LF, no blank lines, no blanks around
    // "=", a written value's leading blanks dropped): the file is compared without its layout.
    // (Wine run as root would also write a read-only file; the Win32 backend refuses it itself.)
    kReadsOnly,
};

struct ProfileCase {
    const char* name = "";
    std::optional<std::string> before = {};  // the file before the writes; nothing: no file
    std::vector<ProfileWrite> writes = {};
    bool writesSucceed = true;
    std::optional<std::string> after = {};  // the file's exact bytes after the writes
    std::vector<ProfileRead> reads = {};    // read after the writes
    bool readOnly = false;                  // the file carries the read-only attribute
    std::string fileName = "Duplora.ini";
    UnderWine underWine = UnderWine::kSame;
};

// A failing case is named by its name, not dumped as bytes.
void PrintTo(const ProfileCase& c, std::ostream* out) { *out << c.name; }

const std::string k3000(3000, 'x');
const std::string k2047(2047, 'x');

std::vector<ProfileCase> Cases() {
    return {
        {.name = "MissingFileGivesDefaults",
         .reads = {{"CONFIG", "diario", "N", "N"}, {"BANCO", "CAMINHO", "", ""}}},
        {.name = "MissingSectionOrKeyGivesDefaults",
         .before = "[CONFIG]\r\ndiario=S\r\n",
         .after = "[CONFIG]\r\ndiario=S\r\n",
         .reads = {{"SERVIDOR", "NOME", "", ""}, {"CONFIG", "horario", "", ""}}},
        {.name = "NamesMatchWithoutRegardToCase",
         .before = "[config]\r\nDIARIO=S\r\n",
         .reads = {{"CONFIG", "diario", "N", "S"}, {"Config", "Diario", "N", "S"}}},
        {.name = "BlanksAroundValueDropped",
         .before = "[CONFIG]\r\n  horario =  \t07:30 \t \r\n",
         .reads = {{"CONFIG", "horario", "", "07:30"}}},
        {.name = "DoubleQuotesRemoved",
         .before = "[CONFIG]\r\ndiario=\"S\"\r\n",
         .reads = {{"CONFIG", "diario", "N", "S"}}},
        {.name = "SingleQuotesRemoved",
         .before = "[CONFIG]\r\ndiario='S'\r\nx=\"a\"b\"\r\n",
         .reads = {{"CONFIG", "diario", "N", "S"}, {"CONFIG", "x", "", "a\"b"}}},
        {.name = "UnpairedQuotesKept",
         .before = "[CONFIG]\r\na=\"S\r\nb=\"S'\r\nc=\"\r\n",
         .reads = {{"CONFIG", "a", "", "\"S"},
                   {"CONFIG", "b", "", "\"S'"},
                   {"CONFIG", "c", "", "\""}}},
        {.name = "LowerCaseAndWordsReadAsTheyAre",
         .before = "[CONFIG]\r\ndiario=s\r\n[OTHER]\r\ndiario=Sim\r\n",
         .reads = {{"CONFIG", "diario", "N", "s"}, {"OTHER", "diario", "N", "Sim"}}},
        {.name = "EmptyTimeFieldReadsBackAsSeparator",
         .before = "[CONFIG]\r\nhorario=  :  \r\n",
         .reads = {{"CONFIG", "horario", "", ":"}}},
        {.name = "LongValueCutTo2047",
         .before = "[CONFIG]\r\nhorario=" + k3000 + "\r\n",
         .reads = {{"CONFIG", "horario", "", k2047}}},
        {.name = "KeyOfAnotherSectionNotRead",
         .before = "diario=S\r\n[OTHER]\r\ndiario=S\r\n[CONFIG]\r\nhorario=07:30\r\n",
         .reads = {{"CONFIG", "diario", "N", "N"}}},
        {.name = "LineFeedOnlyFileRead",
         .before = "[BANCO]\nCAMINHO=C:\\Tavix\\TAVIXAUDIO.FDB\n[CONFIG]\ndiario=S\n",
         .reads = {{"BANCO", "CAMINHO", "", "C:\\Tavix\\TAVIXAUDIO.FDB"},
                   {"CONFIG", "diario", "N", "S"}}},

        {.name = "UntouchedCloseCreatesTheFile",
         .writes = {{"CONFIG", "diario", "N"}, {"CONFIG", "horario", "  :  "}},
         .after = "[CONFIG]\r\ndiario=N\r\nhorario=  :  \r\n",
         .reads = {{"CONFIG", "diario", "N", "N"}, {"CONFIG", "horario", "", ":"}},
         .underWine = UnderWine::kReadsOnly},
        {.name = "ExistingValueReplacedInItsLine",
         .before = "[BANCO]\r\n  CAMINHO = C:\\x.fdb  \r\n\r\n[CONFIG]\r\ndiario=N\r\n"
                   "horario=07:30\r\n\r\n[SERVIDOR]\r\nNOME=SERVER\r\n",
         .writes = {{"CONFIG", "diario", "S"}},
         .after = "[BANCO]\r\n  CAMINHO = C:\\x.fdb  \r\n\r\n[CONFIG]\r\ndiario=S\r\n"
                  "horario=07:30\r\n\r\n[SERVIDOR]\r\nNOME=SERVER\r\n",
         .reads = {{"CONFIG", "diario", "N", "S"}, {"BANCO", "CAMINHO", "", "C:\\x.fdb"}},
         .underWine = UnderWine::kReadsOnly},
        {.name = "KeyKeepsItsSpellingInTheFile",
         .before = "[Config]\r\nDiario=N\r\n",
         .writes = {{"CONFIG", "diario", "S"}},
         .after = "[Config]\r\nDiario=S\r\n"},
        {.name = "OnlyTheKeyOfItsOwnSectionChanges",
         .before = "[OTHER]\r\ndiario=X\r\n[CONFIG]\r\ndiario=N\r\n",
         .writes = {{"CONFIG", "diario", "S"}},
         .after = "[OTHER]\r\ndiario=X\r\n[CONFIG]\r\ndiario=S\r\n"},
        {.name = "MissingKeyAddedToItsSection",
         .before = "[CONFIG]\r\ndiario=S\r\n\r\n[OTHER]\r\nk=v\r\n",
         .writes = {{"CONFIG", "horario", "07:30"}},
         .after = "[CONFIG]\r\ndiario=S\r\nhorario=07:30\r\n\r\n[OTHER]\r\nk=v\r\n",
         .reads = {{"OTHER", "k", "", "v"}, {"CONFIG", "horario", "", "07:30"}},
         .underWine = UnderWine::kReadsOnly},
        {.name = "MissingSectionAddedAtTheEnd",
         .before = "[BANCO]\r\nCAMINHO=C:\\x.fdb\r\n",
         .writes = {{"CONFIG", "diario", "N"}},
         .after = "[BANCO]\r\nCAMINHO=C:\\x.fdb\r\n[CONFIG]\r\ndiario=N\r\n"},
        {.name = "LastLineWithoutLineEndGetsOne",
         .before = "[CONFIG]\r\ndiario=S",
         .writes = {{"CONFIG", "horario", "07:30"}},
         .after = "[CONFIG]\r\ndiario=S\r\nhorario=07:30\r\n"},
        {.name = "ValueWrittenUnchangedWithItsBlanks",
         .before = "[CONFIG]\r\nhorario=07:30\r\n",
         .writes = {{"CONFIG", "horario", " 7:30"}},
         .after = "[CONFIG]\r\nhorario= 7:30\r\n",
         .reads = {{"CONFIG", "horario", "", "7:30"}},
         .underWine = UnderWine::kReadsOnly},
        {.name = "SameValuesGiveTheSameFile",
         .before = "[CONFIG]\r\ndiario=S\r\nhorario=07:30\r\n",
         .writes = {{"CONFIG", "diario", "S"}, {"CONFIG", "horario", "07:30"}},
         .after = "[CONFIG]\r\ndiario=S\r\nhorario=07:30\r\n"},
        {.name = "LongValueWrittenWhole",
         .writes = {{"CONFIG", "horario", k3000}},
         .after = "[CONFIG]\r\nhorario=" + k3000 + "\r\n",
         .reads = {{"CONFIG", "horario", "", k2047}}},
        {.name = "ReadOnlyFileRefused",
         .before = "[CONFIG]\r\ndiario=S\r\n",
         .writes = {{"CONFIG", "diario", "N"}},
         .writesSucceed = false,
         .after = "[CONFIG]\r\ndiario=S\r\n",
         .reads = {{"CONFIG", "diario", "N", "S"}},
         .readOnly = true},
        {.name = "MissingFolderRefused",
         .writes = {{"CONFIG", "diario", "N"}},
         .writesSucceed = false,
         .reads = {{"CONFIG", "diario", "N", "N"}},
         .fileName = "missing/Duplora.ini"},
    };
}

class ProfileTable : public ::testing::TestWithParam<ProfileCase> {};

TEST_P(ProfileTable, FollowsTheProfileRules) {
    const ProfileCase& c = GetParam();
    const bool wineLayout = c.underWine == UnderWine::kReadsOnly && RunningUnderWine();
    TestFolder folder;
    const std::string path = folder.Path(c.fileName);
    if (c.before) folder.Write(c.fileName, *c.before);
    if (c.readOnly) {
        ASSERT_TRUE(platform::SetAttributes(path, platform::kAttrReadOnly));
    }

    for (const ProfileWrite& w : c.writes)
        EXPECT_EQ(platform::WriteProfileText(w.section, w.key, w.value, path), c.writesSucceed)
            << w.section << "/" << w.key;

    if (wineLayout) {
        ASSERT_TRUE(c.after);
        EXPECT_EQ(ProfileContent(folder.Read(c.fileName)), ProfileContent(*c.after));
    } else if (c.after) {
        EXPECT_EQ(folder.Read(c.fileName), *c.after);
    } else if (c.before) {
        EXPECT_EQ(folder.Read(c.fileName), *c.before);
    } else {
        EXPECT_FALSE(folder.Exists(c.fileName));
    }
    for (const ProfileRead& r : c.reads)
        EXPECT_EQ(platform::ReadProfileText(r.section, r.key, r.defaultValue, path), r.expected)
            << r.section << "/" << r.key;
}

INSTANTIATE_TEST_SUITE_P(Profile, ProfileTable, ::testing::ValuesIn(Cases()),
                         [](const auto& info) { return std::string(info.param.name); });

#ifndef _WIN32
// POSIX backend only: how path texts reach the host and what a rewrite keeps.

TEST(ProfilePosix, DrivePathResolvedThroughDosDevices) {
    TestFolder folder;
    folder.MakeFolder("c:/Duplora");
    platform::SetDosDevicesRoot(folder.Path());
    EXPECT_TRUE(platform::WriteProfileText("CONFIG", "diario", "S", "C:\\Duplora\\Duplora.ini"));
    EXPECT_EQ(folder.Read("c:/Duplora/Duplora.ini"), "[CONFIG]\r\ndiario=S\r\n");
    EXPECT_EQ(platform::ReadProfileText("CONFIG", "diario", "N", "c:\\Duplora\\Duplora.ini"), "S");
    platform::SetDosDevicesRoot("");
}

TEST(ProfilePosix, TextNamingNoDriveFails) {
    EXPECT_FALSE(platform::WriteProfileText("CONFIG", "diario", "S", "Musicas:\\Duplora.ini"));
    EXPECT_EQ(platform::ReadProfileText("CONFIG", "diario", "N", "Musicas:\\Duplora.ini"), "N");
}

TEST(ProfilePosix, LineFeedFileKeepsLineFeeds) {
    TestFolder folder;
    folder.Write("Duplora.ini", "[BANCO]\nCAMINHO=C:\\x.fdb\n[CONFIG]\ndiario=N\n");
    EXPECT_TRUE(platform::WriteProfileText("CONFIG", "diario", "S", folder.Path("Duplora.ini")));
    EXPECT_TRUE(
        platform::WriteProfileText("CONFIG", "horario", "07:30", folder.Path("Duplora.ini")));
    EXPECT_TRUE(platform::WriteProfileText("NEW", "k", "v", folder.Path("Duplora.ini")));
    EXPECT_EQ(folder.Read("Duplora.ini"),
              "[BANCO]\nCAMINHO=C:\\x.fdb\n[CONFIG]\ndiario=S\nhorario=07:30\n[NEW]\nk=v\n");
}

TEST(ProfilePosix, ValuesComeInUtf8AndAreCutToCharacters) {
    TestFolder folder;
    // As a Windows editor saves it: Windows-1252. One key holds UTF-8 already.
    folder.Write("Duplora.ini",
                 "[SERVIDOR]\r\nPASTA_SISTEMA=\\\\SRV01\\C\\Programa\xE7\xE3o\r\nNOME=R\xC3\xA1"
                 "dio\r\n"
                 "[CONFIG]\r\nlongo=" +
                     std::string(2046, 'x') +
                     "\xF3\xF3\r\n"
                     "longo8=" +
                     std::string(2046, 'x') + "\xC3\xB3\xC3\xB3\r\n");
    const std::string file = folder.Path("Duplora.ini");
    EXPECT_EQ(platform::ReadProfileText("SERVIDOR", "PASTA_SISTEMA", "", file),
              "\\\\SRV01\\C\\Programa\xC3\xA7\xC3\xA3o");
    EXPECT_EQ(platform::ReadProfileText("SERVIDOR", "NOME", "", file),
              "R\xC3\xA1"
              "dio");
    // 2047 characters, the last one of two bytes in UTF-8.
    const std::string cut = std::string(2046, 'x') + "\xC3\xB3";
    EXPECT_EQ(platform::ReadProfileText("CONFIG", "longo", "", file), cut);
    EXPECT_EQ(platform::ReadProfileText("CONFIG", "longo8", "", file), cut);
}

TEST(ProfilePosix, RewriteKeepsModeAndLinkAndLeavesNoTemporaryFile) {
    TestFolder folder;
    folder.Write("real/Duplora.ini", "[CONFIG]\r\ndiario=N\r\n");
    std::filesystem::permissions(folder.Host("real/Duplora.ini"), std::filesystem::perms(0640));
    std::filesystem::create_symlink(folder.Host("real/Duplora.ini"), folder.Host("Duplora.ini"));

    EXPECT_TRUE(platform::WriteProfileText("CONFIG", "diario", "S", folder.Path("Duplora.ini")));

    EXPECT_TRUE(std::filesystem::is_symlink(folder.Host("Duplora.ini")));
    EXPECT_EQ(folder.Read("real/Duplora.ini"), "[CONFIG]\r\ndiario=S\r\n");
    EXPECT_EQ(std::filesystem::status(folder.Host("real/Duplora.ini")).permissions(),
              std::filesystem::perms(0640));
    int entries = 0;
    for ([[maybe_unused]] const auto& entry :
         std::filesystem::directory_iterator(folder.Host("real")))
        ++entries;
    EXPECT_EQ(entries, 1);
}

// A new file gets the mode the process's umask gives new files. The umask is only read by the
// system: setting it, even back and forth, would give files made meanwhile by the process's other
// threads the wrong mode.
TEST(ProfilePosix, ANewFileTakesItsModeFromTheUmaskWithoutChangingIt) {
    if (!WatchedCalls::Available()) GTEST_SKIP() << "the fault shim is preloaded by ctest";
    const mode_t userMask = umask(022);
    for (const mode_t mask : {mode_t{022}, mode_t{077}, mode_t{002}}) {
        TestFolder folder;
        umask(mask);
        const long long umaskCalls = WatchedCalls::UmaskCalls();
        EXPECT_TRUE(
            platform::WriteProfileText("CONFIG", "diario", "N", folder.Path("Duplora.ini")));
        EXPECT_EQ(WatchedCalls::UmaskCalls(), umaskCalls) << std::oct << mask;
        EXPECT_EQ(std::filesystem::status(folder.Host("Duplora.ini")).permissions(),
                  std::filesystem::perms(0666 & ~mask))
            << std::oct << mask;
    }
    umask(userMask);
}
#endif

}  // namespace
