// The settings file and the daily schedule through a fake window: real settings files in a
// temporary folder, the real time-field model, a clock set to any minute.

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "Files.h"
#include "Process.h"
#include "Settings.h"
#include "SettingsError.h"
#include "SilentAbort.h"
#include "SystemError.h"
#include "TimeField.h"
#include "TimeText.h"
#include "support/FixedClock.h"
#ifndef _WIN32
#include "support/InjectedFault.h"
#endif
#include "support/TestFolder.h"
#include "support/Wine.h"

namespace {

// The clock at a time of day.
void SetTimeOfDay(FixedClock& clock, TimeOfDay time) {
    clock.SetLocal(2026, 3, 2, time.hour, time.minute, 10);
}

// The window as the settings see it, with its controls in their state at creation.
class FakeWindow : public SettingsView {
public:
    bool DailyChecked() const override { return checked; }
    void SetDailyChecked(bool value) override {
        if (value == checked) return;
        checked = value;
        settings->chkDiarioClick();  // every change of the box fires its click handler
    }
    std::string TimeText() const override { return field.Text(); }
    void SetTimeText(const std::string& text) override { field.SetText(text); }
    void SetTimeFieldEnabled(bool enabled) override {
        fieldEnabled = enabled;
        ++fieldEnabledCalls;
    }
    void FocusTimeField() override {
        ++focusCalls;
        field.FocusIn();
    }
    void SetDailyTimerEnabled(bool on) override {
        if (on && !timerOn) ++timerPeriodsStarted;
        timerOn = on;
    }
    bool StartButtonEnabled() const override { return startEnabled; }
    void StartBackup() override {
        ++runs;
        startEnabled = false;  // SetControlsEnabled(false) for the length of the run
        if (duringRun) duringRun();
        startEnabled = true;
    }
    void ShowInformation(const std::string& text) override { messages.push_back(text); }

    // A tick of TmrExecutaDiario reaches the handler only while the timer is on.
    void Tick() {
        if (timerOn) settings->TmrExecutaDiarioTimer();
    }
    // The user clicks the box.
    void ClickBox() { SetDailyChecked(!checked); }
    // The focus moves from the time field to another control: the field's own check, then
    // the exit handler.
    void LeaveTimeField() {
        if (!field.CheckOnExit()) throw std::runtime_error(kInvalidInputText);
        settings->edtHorarioExit();
    }
    // Tabbing into the field selects its whole text; the keys then replace it.
    void EnterAndType(const std::string& keys) {
        field.FocusIn();
        field.Select(0, TimeField::kLength);
        for (char c : keys) field.TypeCharacter(c);
    }

    Settings* settings = nullptr;
    TimeField field;
    bool checked = false;
    bool fieldEnabled = true;
    int fieldEnabledCalls = 0;
    bool timerOn = false;
    int timerPeriodsStarted = 0;
    bool startEnabled = true;
    int runs = 0;
    int focusCalls = 0;
    std::function<void()> duringRun;
    std::vector<std::string> messages;
};

class SettingsTest : public ::testing::Test {
protected:
    SettingsTest() : settings(window, clock, folder.Path("Duplora.ini")) {
        window.settings = &settings;
    }
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
    FixedClock clock;
    FakeWindow window;
    Settings settings;
};

// ---- The settings file ----------------------------------------------------------------------

TEST_F(SettingsTest, DefaultFileIsBesideTheExecutable) {
    EXPECT_EQ(Settings::DefaultFileName(), platform::ExecutableFolder() + "Duplora.ini");
}

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
        FakeWindow view;
        Settings loaded(view, clock, own.Path("Duplora.ini"));
        view.settings = &loaded;
        c.make(own);
#ifndef _WIN32
        std::optional<InjectedFault> readFails;
        if (c.reason == std::strerror(EIO))
            readFails.emplace(InjectedFault::Call::kRead, "Duplora.ini", 0, EIO);
#endif
        if (c.reason.empty()) {
            loaded.LoadSettings();
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
        EXPECT_FALSE(view.checked);
        EXPECT_EQ(view.field.Text(), "  :  ");
        EXPECT_TRUE(view.fieldEnabled);
        EXPECT_EQ(view.fieldEnabledCalls, 0);  // chkDiarioClick has not run
        EXPECT_FALSE(view.timerOn);
        EXPECT_EQ(own.Exists("Duplora.ini"), !c.reason.empty());  // loading made no file
    }
}

TEST_F(SettingsTest, ClosingTheUntouchedWindowCreatesThreeLines) {
    settings.LoadSettings();
    settings.FormClose();
    ExpectIni("[CONFIG]\r\ndiario=N\r\nhorario=  :  \r\n");
}

struct LoadCase {
    const char* name;
    std::string ini;
    std::string databasePath;
    std::string serverName;
    std::string systemFolder;
    bool checked;
    std::string timeText;
};

class SettingsLoad : public SettingsTest, public ::testing::WithParamInterface<LoadCase> {};

TEST_P(SettingsLoad, AppliesTheFile) {
    const LoadCase& c = GetParam();
    WriteIni(c.ini);
    settings.LoadSettings();
    EXPECT_EQ(settings.DatabasePath, c.databasePath);
    EXPECT_EQ(settings.ServerName, c.serverName);
    EXPECT_EQ(settings.SystemFolder, c.systemFolder);
    EXPECT_EQ(window.checked, c.checked);
    EXPECT_EQ(window.field.Text(), c.timeText);
    // The schedule follows the box: field enabled and timer on exactly while it is checked.
    EXPECT_EQ(window.fieldEnabled, c.checked);
    EXPECT_EQ(window.timerOn, c.checked);
    EXPECT_EQ(window.timerPeriodsStarted, c.checked ? 1 : 0);
    // Fired by the change of the box and called once more at the end.
    EXPECT_EQ(window.fieldEnabledCalls, c.checked ? 2 : 1);
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
                 "\\\\SERVER\\C\\Tavix\\", false, "  :  "},
        LoadCase{"EmptyFolderStaysEmpty", "[SERVIDOR]\r\nNOME=SERVER\r\nPASTA_SISTEMA=\r\n", "",
                 "SERVER", "", false, "  :  "},
        LoadCase{"NoCaminhoEmptiesTheDatabasePath", "[CONFIG]\r\ndiario=N\r\n", "", "", "", false,
                 "  :  "},
        LoadCase{"QuotedSCounts", "[CONFIG]\r\ndiario=\"S\"\r\nhorario=07:30\r\n", "", "", "", true,
                 "07:30"},
        LoadCase{"LowerCaseSDoesNotCount", "[CONFIG]\r\ndiario=s\r\nhorario=07:30\r\n", "", "", "",
                 false, "07:30"},
        LoadCase{"SimDoesNotCount", "[CONFIG]\r\ndiario=Sim\r\n", "", "", "", false, "  :  "},
        LoadCase{"OneHourDigit", "[CONFIG]\r\ndiario=S\r\nhorario=7:30\r\n", "", "", "", true,
                 " 7:30"},
        LoadCase{"SavedEmptyField", "[CONFIG]\r\ndiario=S\r\nhorario=  :  \r\n", "", "", "", true,
                 "  :  "}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SettingsTest, SaveWritesBothKeysAndKeepsTheRest) {
    WriteIni("[BANCO]\r\nCAMINHO=C:\\x.fdb\r\n\r\n[CONFIG]\r\ndiario=N\r\nhorario=07:30\r\n");
    settings.LoadSettings();
    window.ClickBox();
    window.field.SetText("08:15");
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

    window.ClickBox();
    settings.SaveSettings();
    std::string saved = cp1252;
    saved.replace(saved.find("diario=N"), 8, "diario=S");
    EXPECT_EQ(Ini(), saved);
}
#endif

TEST_F(SettingsTest, OneHourDigitRoundTrips) {
    WriteIni("[CONFIG]\r\ndiario=S\r\nhorario=7:30\r\n");
    settings.LoadSettings();
    settings.FormClose();
    ExpectIni("[CONFIG]\r\ndiario=S\r\nhorario= 7:30\r\n");

    FakeWindow next;
    Settings nextSettings(next, clock, folder.Path("Duplora.ini"));
    next.settings = &nextSettings;
    nextSettings.LoadSettings();
    EXPECT_EQ(next.field.Text(), " 7:30");
}

TEST_F(SettingsTest, UnwritableFileMakesCloseFail) {
    WriteIni("[CONFIG]\r\ndiario=N\r\nhorario=07:30\r\n");
    settings.LoadSettings();
    window.ClickBox();
    ASSERT_TRUE(platform::SetAttributes(folder.Path("Duplora.ini"), platform::kAttrReadOnly));
    try {
        settings.FormClose();
        FAIL() << "the close went through";
    } catch (const SettingsWriteError& error) {
        EXPECT_EQ(std::string(error.what()), "Unable to write to " + folder.Path("Duplora.ini"));
    }
    ExpectIni("[CONFIG]\r\ndiario=N\r\nhorario=07:30\r\n");
}

TEST_F(SettingsTest, MissingFolderMakesCloseFail) {
    const std::string path = folder.Path("gone/Duplora.ini");
    Settings elsewhere(window, clock, path);
    window.settings = &elsewhere;
    EXPECT_THROW(elsewhere.FormClose(), SettingsWriteError);
    EXPECT_FALSE(folder.Exists("gone"));
}

// ---- Leaving the time field -----------------------------------------------------------------

class TimeFieldExit : public SettingsTest {
protected:
    static constexpr const char* kBefore = "[CONFIG]\r\ndiario=S\r\nhorario=07:30\r\n";
    void SetUp() override {
        WriteIni(kBefore);
        settings.LoadSettings();
    }
};

TEST_F(TimeFieldExit, ImpossibleTimesAreRefusedAndNothingIsSaved) {
    for (const char* typed : {"2500", "0760"}) {
        window.EnterAndType(typed);
        window.messages.clear();
        window.focusCalls = 0;
        EXPECT_THROW(window.LeaveTimeField(), SilentAbort) << typed;
        EXPECT_EQ(window.messages, std::vector<std::string>{"A hora informada não é válida."});
        EXPECT_EQ(window.focusCalls, 1);
        ExpectIni(kBefore);
    }
}

TEST_F(TimeFieldExit, MissingRequiredDigitRaisesTheFieldsOwnError) {
    window.EnterAndType("1");
    try {
        window.LeaveTimeField();
        FAIL() << "the field was left";
    } catch (const std::runtime_error& error) {
        EXPECT_STREQ(error.what(), "Invalid input value.  Use escape key to abandon changes");
    }
    EXPECT_TRUE(window.messages.empty());
    ExpectIni(kBefore);
}

TEST_F(TimeFieldExit, AcceptedTimeIsSaved) {
    window.ClickBox();  // unchecked; reaches the file with the next save
    window.EnterAndType("2145");
    window.LeaveTimeField();
    EXPECT_TRUE(window.messages.empty());
    ExpectIni("[CONFIG]\r\ndiario=N\r\nhorario=21:45\r\n");
}

TEST_F(SettingsTest, LeavingTheUntouchedEmptyFieldSaves) {
    window.field.FocusIn();
    window.LeaveTimeField();
    EXPECT_TRUE(window.messages.empty());
    ExpectIni("[CONFIG]\r\ndiario=N\r\nhorario=  :  \r\n");
}

TEST_F(SettingsTest, OneHourDigitFromTheFileLeftUntouchedIsSaved) {
    WriteIni("[CONFIG]\r\ndiario=S\r\nhorario=7:30\r\n");
    settings.LoadSettings();
    window.field.FocusIn();
    window.LeaveTimeField();
    EXPECT_TRUE(window.messages.empty());
    ExpectIni("[CONFIG]\r\ndiario=S\r\nhorario= 7:30\r\n");
}

TEST_F(SettingsTest, ExitWithUnwritableFileReportsTheWrite) {
    WriteIni("[CONFIG]\r\ndiario=S\r\nhorario=07:30\r\n");
    settings.LoadSettings();
    ASSERT_TRUE(platform::SetAttributes(folder.Path("Duplora.ini"), platform::kAttrReadOnly));
    window.EnterAndType("0800");
    EXPECT_THROW(window.LeaveTimeField(), SettingsWriteError);
    EXPECT_TRUE(window.messages.empty());
}

// ---- The box and the daily timer ------------------------------------------------------------

TEST_F(SettingsTest, BoxSwitchesFieldAndTimer) {
    settings.LoadSettings();  // no file: the field stays enabled beside the unchecked box
    window.ClickBox();
    EXPECT_TRUE(window.fieldEnabled);
    EXPECT_TRUE(window.timerOn);
    window.ClickBox();
    EXPECT_FALSE(window.fieldEnabled);
    EXPECT_FALSE(window.timerOn);
    EXPECT_FALSE(folder.Exists("Duplora.ini"));  // the handler saves nothing
}

struct TickCase {
    const char* name;
    const char* fieldText;
    bool boxChecked;
    bool startEnabled;
    TimeOfDay clock;
    int runs;
};

class DailyTick : public SettingsTest, public ::testing::WithParamInterface<TickCase> {};

TEST_P(DailyTick, StartsTheRunOnlyInTheConfiguredMinute) {
    const TickCase& c = GetParam();
    window.field.SetText(c.fieldText);
    if (c.boxChecked) window.ClickBox();
    window.startEnabled = c.startEnabled;
    SetTimeOfDay(clock, c.clock);
    window.Tick();
    EXPECT_EQ(window.runs, c.runs);
}

INSTANTIATE_TEST_SUITE_P(
    Schedule, DailyTick,
    ::testing::Values(TickCase{"InTheMinute", "07:30", true, true, {7, 30}, 1},
                      TickCase{"MinuteBefore", "07:30", true, true, {7, 29}, 0},
                      TickCase{"MinuteAfter", "07:30", true, true, {7, 31}, 0},
                      TickCase{"OtherHour", "07:30", true, true, {19, 30}, 0},
                      TickCase{"StartButtonDisabled", "07:30", true, false, {7, 30}, 0},
                      TickCase{"BoxUnchecked", "07:30", false, true, {7, 30}, 0},
                      TickCase{"EmptyField", "", true, true, {0, 0}, 0},
                      TickCase{"PartlyFilledField", "7:", true, true, {7, 0}, 0},
                      TickCase{"HourTensEmptyCountsAsZero", "7:30", true, true, {7, 30}, 1},
                      TickCase{"Midnight", "00:00", true, true, {0, 0}, 1}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SettingsTest, SecondTickOfTheMinuteStartsAgainAfterTheRunEnded) {
    window.field.SetText("07:30");
    window.ClickBox();
    SetTimeOfDay(clock, {7, 30});
    window.Tick();
    window.Tick();
    EXPECT_EQ(window.runs, 2);
}

TEST_F(SettingsTest, TickDuringTheRunStartsNothing) {
    window.field.SetText("07:30");
    window.ClickBox();
    SetTimeOfDay(clock, {7, 30});
    window.duringRun = [this] { window.Tick(); };  // the run lets the timer's message through
    window.Tick();
    EXPECT_EQ(window.runs, 1);
}

TEST_F(SettingsTest, UserRunHoldsBackTheDailyRunUntilItEnds) {
    window.field.SetText("07:30");
    window.ClickBox();
    SetTimeOfDay(clock, {7, 30});
    window.startEnabled = false;  // a run started by the user is going
    window.Tick();
    EXPECT_EQ(window.runs, 0);
    window.startEnabled = true;  // it ended within the minute
    window.Tick();
    EXPECT_EQ(window.runs, 1);
}

TEST_F(SettingsTest, UnsavedFieldTextCounts) {
    window.ClickBox();
    window.EnterAndType("1415");  // typed, not left, not saved
    SetTimeOfDay(clock, {14, 15});
    window.Tick();
    EXPECT_EQ(window.runs, 1);
    EXPECT_FALSE(folder.Exists("Duplora.ini"));
}

}  // namespace
