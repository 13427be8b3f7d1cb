// Whole backup runs over accented names, as a Brazilian station's installation holds them: the
// server's folders carry UTF-8 names on disk (as Samba and Wine show them), the playout database
// lists the music folders in any of the character sets it may use, the settings file comes from
// a Windows editor (Windows-1252) or a Linux one (UTF-8), and the database itself lies in an
// accented folder, reached through the Firebird server on loopback and embedded. CTest runs
// this under the C locale and under a UTF-8 one.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <clocale>
#include <filesystem>
#include <set>

#include "database/TavixDatabase.h"
#include "engine/BackupRun.h"
#include "engine/DateTime.h"
#include "settings/Settings.h"
#include "support/BackupWorld.h"
#include "support/FixedClock.h"
#include "support/RecordingWindow.h"

namespace {

using enum StepState;
constexpr std::time_t kFinishedAt = 1767225600 + 13 * 3600 + 5 * 60 + 9;  // 2026-01-01 13:05:09 UTC

// Folder and file names, in UTF-8 as this file is written.
const std::string kForroRow = "\\\\SRV01\\D\\Músicas\\Forró\\";
const std::string kRadioRow = "\\\\SRV01\\D\\Rádio\\";
const std::string kJapanRow = "\\\\SRV01\\D\\日本\\";
const std::string kDatabaseFolder = "Gravações";

// A UTF-8 text whose characters are all in Latin-1, in Windows-1252 (where they are the same).
std::string Cp1252(const std::string& utf8) {
    std::string bytes;
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const auto c = static_cast<unsigned char>(utf8[i]);
        if (c < 0x80) {
            bytes += static_cast<char>(c);
        } else {
            bytes += static_cast<char>(((c & 0x03) << 6) | (utf8.at(i + 1) & 0x3F));
            ++i;
        }
    }
    return bytes;
}

enum class Encoding { kCp1252, kUtf8 };
enum class Connection { kServer, kEmbedded };

// The process takes its locale from the environment before the window and its database objects
// are made, as the window's toolkit does.
struct LocaleFromEnvironment {
    LocaleFromEnvironment() { std::setlocale(LC_ALL, ""); }
};

// The backup world with accented folders on the server:
//   \\SRV01\C\Programação\   the system folder: Grade de Sábado.txt, Vinhetas\Abertura.mp3
//   \\SRV01\D\Músicas\Forró\ Xote.mp3;  \\SRV01\D\Rádio\ Chamada.mp3;  \\SRV01\D\日本\ 歌.mp3
// and the database in Gravações\.
struct Station : LocaleFromEnvironment, BackupWorld {
    Station() {
        const std::string server = "dosdevices/unc/srv01/";
        folder.Write(server + "c/Programação/Grade de Sábado.txt", "grade", kSourceTime);
        folder.Write(server + "c/Programação/Vinhetas/Abertura.mp3", "abertura", kSourceTime);
        folder.Write(server + "d/Músicas/Forró/Xote.mp3", "xote", kSourceTime);
        folder.Write(server + "d/Rádio/Chamada.mp3", "chamada", kSourceTime);
        folder.Write(server + "d/日本/歌.mp3", "uta", kSourceTime);
        folder.MakeFolder(kDatabaseFolder);
        clock.now = kFinishedAt;
    }

    void MakeDatabase(const std::string& columnType,
                      const FirebirdTestDatabase::Rows& rows) override {
        db.reset();
        db.emplace(folder, columnType, rows, 1, kDatabaseFolder + "/TAVIXAUDIO.FDB");
    }

    void WriteSettings(Encoding encoding, Connection connection) {
        const std::string ini =
            "[BANCO]\r\nCAMINHO=" +
            (connection == Connection::kServer ? db->ServerName() : db->EmbeddedName()) +
            "\r\n[SERVIDOR]\r\nNOME=SRV01\r\nPASTA_SISTEMA=\\\\SRV01\\C\\Programação\r\n"
            "[CONFIG]\r\ndiario=N\r\nhorario=  :  \r\n";
        folder.Write("bin/Duplora.ini", encoding == Encoding::kCp1252 ? Cp1252(ini) : ini);
    }

    // What the window does: read the settings when it is made, then run on a click.
    void StartAndRun() {
        form.FormCreate();
        ASSERT_TRUE(form.Config.DatabasePath);
        form.Run.Run();
    }

    // Every folder and file below this machine's drives, as paths below dosdevices.
    std::set<std::string> LocalEntries() const {
        std::set<std::string> entries;
        for (const char* drive : {"c:", "d:"})
            for (const auto& entry : std::filesystem::recursive_directory_iterator(
                     folder.Host("dosdevices/" + std::string(drive))))
                entries.insert(
                    entry.path().lexically_relative(folder.Host("dosdevices")).generic_string());
        return entries;
    }

    FixedClock clock;
    RecordingWindow window;
    MainForm form{window, clock, folder.Path("bin/Duplora.ini")};
};

struct StationCase {
    const char* name;
    std::string columnType;
    FirebirdTestDatabase::Rows rows;  // as stored, byte for byte
    Encoding settings;
    Connection connection;
};

// A failing case is named by its name, not dumped as bytes.
void PrintTo(const StationCase& c, std::ostream* out) { *out << c.name; }

class AccentedNames : public ::testing::TestWithParam<StationCase> {};

const std::set<std::string> kCopied = {"c:/Programação",
                                       "c:/Programação/Grade de Sábado.txt",
                                       "c:/Programação/Vinhetas",
                                       "c:/Programação/Vinhetas/Abertura.mp3",
                                       "d:/Músicas",
                                       "d:/Músicas/Forró",
                                       "d:/Músicas/Forró/Xote.mp3",
                                       "d:/Rádio",
                                       "d:/Rádio/Chamada.mp3"};

}  // namespace

TEST_P(AccentedNames, EveryListedFolderIsCopiedUnderItsOwnName) {
    const StationCase& c = GetParam();
    Station station;
    station.MakeDatabase(c.columnType, c.rows);
    station.WriteSettings(c.settings, c.connection);

    ASSERT_NO_THROW(station.StartAndRun());

    EXPECT_EQ(station.window.steps, EveryStep(Ok));
    EXPECT_EQ(station.window.progress.progressText,
              "Backup finalizado as " + FormatGeneralDateTime(kFinishedAt));
    std::set<std::string> expected = kCopied;
    if (std::find(c.rows.begin(), c.rows.end(), kJapanRow) != c.rows.end())
        expected.insert({"d:/日本", "d:/日本/歌.mp3"});
    // Exactly these: no folder under a name that is not the server's (such as "M\xFAsicas").
    EXPECT_EQ(station.LocalEntries(), expected);
    EXPECT_EQ(station.folder.Read("dosdevices/d:/Músicas/Forró/Xote.mp3"), "xote");
    EXPECT_EQ(station.folder.Time("dosdevices/d:/Rádio/Chamada.mp3"), BackupWorld::kSourceTime);
}

INSTANTIATE_TEST_SUITE_P(
    Station, AccentedNames,
    ::testing::Values(StationCase{"Win1252ColumnThroughTheServerWindowsSettings",
                                  "VARCHAR(255) CHARACTER SET WIN1252",
                                  {Cp1252(kForroRow), Cp1252(kRadioRow)},
                                  Encoding::kCp1252,
                                  Connection::kServer},
                      StationCase{"NoneColumnWithWindowsBytesThroughTheServerUtf8Settings",
                                  "VARCHAR(255) CHARACTER SET NONE",
                                  {Cp1252(kForroRow), Cp1252(kRadioRow)},
                                  Encoding::kUtf8,
                                  Connection::kServer},
                      StationCase{"Utf8ColumnThroughTheServerWindowsSettings",
                                  "VARCHAR(255) CHARACTER SET UTF8",
                                  {kForroRow, kRadioRow, kJapanRow},
                                  Encoding::kCp1252,
                                  Connection::kServer},
                      StationCase{"Win1252ColumnEmbeddedUtf8Settings",
                                  "VARCHAR(255) CHARACTER SET WIN1252",
                                  {Cp1252(kForroRow), Cp1252(kRadioRow)},
                                  Encoding::kUtf8,
                                  Connection::kEmbedded},
                      StationCase{"NoneColumnWithWindowsBytesEmbeddedWindowsSettings",
                                  "VARCHAR(255) CHARACTER SET NONE",
                                  {Cp1252(kForroRow), Cp1252(kRadioRow)},
                                  Encoding::kCp1252,
                                  Connection::kEmbedded},
                      StationCase{"Utf8ColumnEmbeddedUtf8Settings",
                                  "VARCHAR(255) CHARACTER SET UTF8",
                                  {kForroRow, kRadioRow, kJapanRow},
                                  Encoding::kUtf8,
                                  Connection::kEmbedded}),
    [](const auto& info) { return std::string(info.param.name); });
