// The settings file's values, read and written: real settings files in a temporary folder. What
// the window does with them (the schedule, the time field) is tested with the window's logic
// (tests/mainform/ScheduleTest.cpp).

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/Files.h"
#include "platform/SystemError.h"
#include "settings/Settings.h"
#include "settings/SettingsError.h"
#ifndef _WIN32
#include "support/InjectedFault.h"
#endif
#include "support/TestFolder.h"
#include "support/Wine.h"

namespace {

class SettingsTest : public ::testing::Test {
protected:
    void WriteIni(const std::string& content) { folder.Write("Duplora.ini", content); }
    std::string Ini() const { return folder.Read("Duplora.ini"); }
    // The settings file holds exactly `expected`; under Wine, whose writer lays out the whole
    // file its own way, the same content.
    void ExpectIni(const std::string& expected) const {
        if (RunningUnderWine())
            EXPECT_EQ(ProfileContent(Ini()), ProfileContent(expected));
        else
            EXPECT_EQ(Ini(), expected);
    }

    TestFolder folder;
    Settings settings{folder.Path("Duplora.ini")};
};

// No file, or one that cannot be read: nothing is read and nothing changes; a file that is there
// but cannot be read is said, with the file's name and the system's reason.
TEST_F(SettingsTest, WithoutAReadableFileNothingIsReadOrChanged) {
    struct Case {
        const char* name;
        std::function<void(TestFolder&)> make;
        std::string reason;  // empty: nothing to say
    };
#ifdef _WIN32
    const std::string folderReason = platform::ErrorText(platform::SystemError::kAccessDenied);
#else
    const std::string folderReason = std::strerror(EISDIR);
#endif
    std::vector<Case> cases = {
        {"no file", [](TestFolder&) {}, ""},
        {"a folder in its place", [](TestFolder& f) { f.MakeFolder("Duplora.ini"); }, folderReason},
    };
#ifndef _WIN32
    if (InjectedFault::Available())
        cases.push_back({"a file whose reading fails",
                         [](TestFolder& f) { f.Write("Duplora.ini", "[CONFIG]\r\ndiario=S\r\n"); },
                         std::strerror(EIO)});
#endif
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TestFolder own;
        Settings loaded(own.Path("Duplora.ini"));
        c.make(own);
#ifndef _WIN32
        std::optional<InjectedFault> readFails;
        if (c.reason == std::strerror(EIO))
            readFails.emplace(InjectedFault::Call::kRead, "Duplora.ini", 0, EIO);
#endif
        if (c.reason.empty()) {
            EXPECT_FALSE(loaded.LoadSettings());
        } else {
            try {
                loaded.LoadSettings();
                ADD_FAILURE() << "no error";
            } catch (const SettingsReadError& error) {
                EXPECT_EQ(std::string(error.what()),
                          "Não foi possível ler " + own.Path("Duplora.ini") + ": " + c.reason);
            }
        }
        EXPECT_FALSE(loaded.DatabasePath);  // the connection keeps its built-in path
        EXPECT_EQ(loaded.ServerName, "");
        EXPECT_EQ(loaded.SystemFolder, "");
        EXPECT_FALSE(loaded.Daily);
        EXPECT_EQ(loaded.Time, "");
        EXPECT_EQ(own.Exists("Duplora.ini"), !c.reason.empty());  // loading made no file
    }
}

struct LoadCase {
    const char* name;
    std::string ini;
    std::string databasePath;
    std::string serverName;
    std::string systemFolder;
    bool daily;
    std::string time;
};

class SettingsLoad : public SettingsTest, public ::testing::WithParamInterface<LoadCase> {};

TEST_P(SettingsLoad, ReadsTheFile) {
    const LoadCase& c = GetParam();
    WriteIni(c.ini);
    EXPECT_TRUE(settings.LoadSettings());
    EXPECT_EQ(settings.DatabasePath, c.databasePath);
    EXPECT_EQ(settings.ServerName, c.serverName);
    EXPECT_EQ(settings.SystemFolder, c.systemFolder);
    EXPECT_EQ(settings.Daily, c.daily);
    EXPECT_EQ(settings.Time, c.time);
}

INSTANTIATE_TEST_SUITE_P(
    Settings, SettingsLoad,
    ::testing::Values(
        LoadCase{"WholeFile",
                 "[BANCO]\r\nCAMINHO=C:\\Tavix\\Sonvira\\Tavixdb\\TAVIXAUDIO.FDB\r\n[SERVIDOR]\r\n"
                 "NOME=SERVER\r\nPASTA_SISTEMA=\\\\SERVER\\C\\Tavix\r\n[CONFIG]\r\ndiario=S\r\n"
                 "horario=07:30\r\n",
                 "C:\\Tavix\\Sonvira\\Tavixdb\\TAVIXAUDIO.FDB", "SERVER", "\\\\SERVER\\C\\Tavix\\",
                 true, "07:30"},
        LoadCase{"FolderEndingInBackslashKept",
                 "[SERVIDOR]\r\nPASTA_SISTEMA=\\\\SERVER\\C\\Tavix\\\r\n", "", "",
                 "\\\\SERVER\\C\\Tavix\\", false, ""},
        LoadCase{"EmptyFolderStaysEmpty", "[SERVIDOR]\r\nNOME=SERVER\r\nPASTA_SISTEMA=\r\n", "",
                 "SERVER", "", false, ""},
        LoadCase{"NoCaminhoEmptiesTheDatabasePath", "[CONFIG]\r\ndiario=N\r\n", "", "", "", false,
                 ""},
        LoadCase{"QuotedSCounts", "[CONFIG]\r\ndiario=\"S\"\r\nhorario=07:30\r\n", "", "", "", true,
                 "07:30"},
        LoadCase{"LowerCaseSDoesNotCount", "[CONFIG]\r\ndiario=s\r\nhorario=07:30\r\n", "", "", "",
                 false, "07:30"},
        LoadCase{"SimDoesNotCount", "[CONFIG]\r\ndiario=Sim\r\n", "", "", "", false, ""},
        // Blanks around a value are dropped: the empty field's saved text reads as ":".
        LoadCase{"SavedEmptyField", "[CONFIG]\r\ndiario=S\r\nhorario=  :  \r\n", "", "", "", true,
                 ":"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SettingsTest, SaveWritesBothKeysAndKeepsTheRest) {
    WriteIni("[BANCO]\r\nCAMINHO=C:\\x.fdb\r\n\r\n[CONFIG]\r\ndiario=N\r\nhorario=07:30\r\n");
    settings.LoadSettings();
    settings.Daily = true;
    settings.Time = "08:15";
    settings.SaveSettings();
    ExpectIni("[BANCO]\r\nCAMINHO=C:\\x.fdb\r\n\r\n[CONFIG]\r\ndiario=S\r\nhorario=08:15\r\n");
}

#ifndef _WIN32
// A file saved by a Windows editor holds the ANSI code page, Windows-1252; the program's texts
// on Linux are UTF-8.
TEST_F(SettingsTest, AWindows1252FileIsReadInUtf8AndSavingKeepsItsOtherBytes) {
    const std::string cp1252 =
        "[BANCO]\r\nCAMINHO=C:\\Grava\xE7\xF5"
        "es\\TAVIXAUDIO.FDB\r\n[SERVIDOR]\r\nNOME=R\xC1"
        "DIO\r\nPASTA_SISTEMA=\\\\SRV01\\C\\Programa\xE7\xE3o\r\n[CONFIG]\r\ndiario=N\r\n"
        "horario=07:30\r\n";
    WriteIni(cp1252);
    settings.LoadSettings();
    EXPECT_EQ(settings.DatabasePath,
              "C:\\Grava\xC3\xA7\xC3\xB5"
              "es\\TAVIXAUDIO.FDB");
    EXPECT_EQ(settings.ServerName,
              "R\xC3\x81"
              "DIO");
    EXPECT_EQ(settings.SystemFolder, "\\\\SRV01\\C\\Programa\xC3\xA7\xC3\xA3o\\");

    settings.Daily = true;
    settings.SaveSettings();
    std::string saved = cp1252;
    saved.replace(saved.find("diario=N"), 8, "diario=S");
    EXPECT_EQ(Ini(), saved);
}
#endif

// A write the system refuses (a read-only file, a folder that is not there) leaves the file as
// it was and says which file.
TEST_F(SettingsTest, ARefusedWriteThrowsAndChangesNothing) {
    WriteIni("[CONFIG]\r\ndiario=N\r\nhorario=07:30\r\n");
    ASSERT_TRUE(platform::SetAttributes(folder.Path("Duplora.ini"), platform::kAttrReadOnly));
    settings.Daily = true;
    try {
        settings.SaveSettings();
        FAIL() << "the save went through";
    } catch (const SettingsWriteError& error) {
        EXPECT_EQ(std::string(error.what()), "Unable to write to " + folder.Path("Duplora.ini"));
    }
    ExpectIni("[CONFIG]\r\ndiario=N\r\nhorario=07:30\r\n");

    const Settings elsewhere(folder.Path("gone/Duplora.ini"));
    EXPECT_THROW(elsewhere.SaveSettings(), SettingsWriteError);
    EXPECT_FALSE(folder.Exists("gone"));
}

}  // namespace
