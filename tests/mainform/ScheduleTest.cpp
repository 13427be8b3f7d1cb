// The daily schedule and the settings file through the window's logic: the box, the time field,
// the daily timer's ticks and the runs they start, saving on leaving the field and on closing.
// Real settings files, a real embedded database, real runs; only the controls are recorded.

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "controls/TimeText.h"
#include "mainform/FormWorld.h"
#include "mainform/MainForm.h"

namespace {

// The clock at a time of day.
void SetTimeOfDay(FixedClock& clock, TimeOfDay time) {
    clock.SetLocal(2026, 3, 2, time.hour, time.minute, 10);
}

// The user types `keys` over the whole time field, after tabbing into it.
void TypeTime(TimeField& field, const std::string& keys) {
    field.FocusIn();
    field.Select(0, TimeField::kLength);
    for (char c : keys) field.TypeCharacter(c);
}

constexpr const char* kNoFile = nullptr;

}  // namespace

// What start-up makes of the file: the box, the field's text, and the schedule following the
// box (the field enabled and the timer on exactly while it is checked). Without a file nothing
// is applied: the field stays enabled beside the unchecked box, the timer off.
TEST(ScheduleTest, StartUpAppliesTheSchedule) {
    struct Case {
        const char* name;
        const char* config;  // kNoFile: no settings file
        bool checked;
        std::string fieldText;
        bool fieldEnabled;
    };
    const Case cases[] = {
        {"no file", kNoFile, false, "  :  ", true},
        {"S and 07:30", "[CONFIG]\r\ndiario=S\r\nhorario=07:30\r\n", true, "07:30", true},
        {"quoted S", "[CONFIG]\r\ndiario=\"S\"\r\nhorario=07:30\r\n", true, "07:30", true},
        {"lower-case s", "[CONFIG]\r\ndiario=s\r\nhorario=07:30\r\n", false, "07:30", false},
        {"Sim", "[CONFIG]\r\ndiario=Sim\r\n", false, "  :  ", false},
        {"one hour digit", "[CONFIG]\r\ndiario=S\r\nhorario=7:30\r\n", true, " 7:30", true},
        {"the saved empty field", "[CONFIG]\r\ndiario=S\r\nhorario=  :  \r\n", true, "  :  ", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const FormWorld w(c.config ? std::optional<std::string>(c.config) : std::nullopt);
        EXPECT_EQ(w.window.checked.at(ControlId::chkDiario), c.checked);
        EXPECT_EQ(w.form.edtHorario.Text(), c.fieldText);
        EXPECT_EQ(w.window.enabled.at(ControlId::edtHorario), c.fieldEnabled);
        const auto timer = w.window.timers.find(TimerId::TmrExecutaDiario);
        EXPECT_EQ(timer != w.window.timers.end() && timer->second, c.checked);
        // One period started, though the box's change and the load both apply the schedule.
        const auto starts = w.window.timerStarts.find(TimerId::TmrExecutaDiario);
        EXPECT_EQ(starts == w.window.timerStarts.end() ? 0 : starts->second, c.checked ? 1 : 0);
    }
}

TEST(ScheduleTest, TheBoxSwitchesTheFieldAndTheTimerAndSavesNothing) {
    FormWorld w(std::nullopt);
    w.window.Click(ControlId::chkDiario);
    EXPECT_TRUE(w.window.enabled.at(ControlId::edtHorario));
    EXPECT_TRUE(w.window.timers.at(TimerId::TmrExecutaDiario));
    w.window.Click(ControlId::chkDiario);
    EXPECT_FALSE(w.window.enabled.at(ControlId::edtHorario));
    EXPECT_FALSE(w.window.timers.at(TimerId::TmrExecutaDiario));
    EXPECT_FALSE(w.folder.Exists("bin/Duplora.ini"));
}

TEST(ScheduleTest, ClosingTheUntouchedWindowWithoutAFileCreatesThreeLines) {
    FormWorld w(std::nullopt);
    EXPECT_TRUE(w.form.FormClose());
    EXPECT_EQ(w.folder.Read("bin/Duplora.ini"), "[CONFIG]\r\ndiario=N\r\nhorario=  :  \r\n");
}

// " 7:30" is saved with its blank, read back without it, and shown as " 7:30" again.
TEST(ScheduleTest, OneHourDigitRoundTrips) {
    FormWorld w("[CONFIG]\r\ndiario=S\r\nhorario=7:30\r\n");
    EXPECT_TRUE(w.form.FormClose());
    EXPECT_EQ(w.Ini("horario"), "7:30");
    EXPECT_NE(w.folder.Read("bin/Duplora.ini").find("horario= 7:30\r\n"), std::string::npos);
    RecordingWindow next;
    MainForm again(next, w.clock, w.IniFile());
    again.FormCreate();
    EXPECT_EQ(again.edtHorario.Text(), " 7:30");
}

struct TickCase {
    const char* name;
    const char* fieldText;
    bool boxChecked;
    TimeOfDay clock;
    int runs;
};

class DailyTick : public ::testing::TestWithParam<TickCase> {};

TEST_P(DailyTick, StartsTheRunOnlyInTheConfiguredMinute) {
    const TickCase& c = GetParam();
    FormWorld w("[CONFIG]\r\ndiario=N\r\n");
    w.form.edtHorario.SetText(c.fieldText);
    if (c.boxChecked) w.window.Click(ControlId::chkDiario);
    SetTimeOfDay(w.clock, c.clock);
    w.form.TmrExecutaDiarioTimer();
    EXPECT_EQ(w.Runs(), c.runs);
}

INSTANTIATE_TEST_SUITE_P(
    Schedule, DailyTick,
    ::testing::Values(TickCase{"InTheMinute", "07:30", true, {7, 30}, 1},
                      TickCase{"MinuteBefore", "07:30", true, {7, 29}, 0},
                      TickCase{"MinuteAfter", "07:30", true, {7, 31}, 0},
                      TickCase{"OtherHour", "07:30", true, {19, 30}, 0},
                      TickCase{"EmptyField", "", true, {0, 0}, 0},
                      TickCase{"PartlyFilledField", "7:", true, {7, 0}, 0},
                      TickCase{"HourTensEmptyCountsAsZero", "7:30", true, {7, 30}, 1},
                      TickCase{"Midnight", "00:00", true, {0, 0}, 1}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ScheduleTest, TheSecondTickOfTheMinuteStartsAgainAfterTheRunEnded) {
    FormWorld w;
    SetTimeOfDay(w.clock, {7, 30});
    w.form.TmrExecutaDiarioTimer();
    w.form.TmrExecutaDiarioTimer();
    EXPECT_EQ(w.Runs(), 2);
}

// The run lets the timer's message through while it walks: that tick finds the start button
// disabled and starts nothing, whether the run was the timer's or the user's. A run started by
// the user holds the daily run back until it ends; a later tick of the minute starts it.
TEST(ScheduleTest, ATickDuringARunStartsNothing) {
    for (const bool userRun : {false, true}) {
        SCOPED_TRACE(userRun ? "the user's run" : "the daily run");
        FormWorld w;
        SetTimeOfDay(w.clock, {7, 30});
        int ticksDuringRun = 0;
        w.window.progress.onProcessMessages = [&] {
            if (ticksDuringRun++ == 0) w.form.TmrExecutaDiarioTimer();
        };
        if (userRun)
            w.form.btnIniciarBackupClick();
        else
            w.form.TmrExecutaDiarioTimer();
        EXPECT_GT(ticksDuringRun, 0);
        EXPECT_EQ(w.Runs(), 1);
        w.window.progress.onProcessMessages = nullptr;
        w.form.TmrExecutaDiarioTimer();  // the minute's next tick, the run over
        EXPECT_EQ(w.Runs(), 2);
    }
}

TEST(ScheduleTest, TheFieldsTextCountsUnsaved) {
    FormWorld w(std::nullopt);
    w.window.Click(ControlId::chkDiario);
    TypeTime(w.form.edtHorario, "1415");  // typed, not left, not saved
    SetTimeOfDay(w.clock, {14, 15});
    w.form.TmrExecutaDiarioTimer();
    EXPECT_EQ(w.Runs(), 1);
    EXPECT_FALSE(w.folder.Exists("bin/Duplora.ini"));
}

// Leaving the time field with an accepted or an untouched text saves the schedule as the window
// holds it (the box's state too); a write the system refuses is shown, and the focus stays.
TEST(ScheduleTest, LeavingTheFieldSavesTheScheduleAsTheWindowHoldsIt) {
    struct Case {
        const char* name;
        const char* config;
        const char* typed;  // nothing typed: the field left untouched
        bool clearBox;
        bool readOnly;
        std::string saved;  // the file afterwards
        std::optional<std::string> box;
    };
    const Case cases[] = {
        {"an accepted time, the box cleared",
         "[CONFIG]\r\ndiario=S\r\nhorario=07:30\r\n",
         "2145",
         true,
         false,
         "diario=N\r\nhorario=21:45\r\n",
         {}},
        {"the untouched empty field",
         kNoFile,
         nullptr,
         false,
         false,
         "diario=N\r\nhorario=  :  \r\n",
         {}},
        {"one hour digit from the file",
         "[CONFIG]\r\ndiario=S\r\nhorario=7:30\r\n",
         nullptr,
         false,
         false,
         "diario=S\r\nhorario= 7:30\r\n",
         {}},
        {"a read-only file", "[CONFIG]\r\ndiario=S\r\nhorario=07:30\r\n", "0800", false, true,
         "diario=S\r\nhorario=07:30\r\n", "Unable to write to "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FormWorld w(c.config ? std::optional<std::string>(c.config) : std::nullopt);
        if (c.clearBox) w.window.Click(ControlId::chkDiario);
        if (c.typed)
            TypeTime(w.form.edtHorario, c.typed);
        else
            w.form.edtHorario.FocusIn();
        if (c.readOnly) w.MakeIniReadOnly();
        EXPECT_EQ(w.form.TimeFieldMayLoseFocus(), !c.box);
        const std::string ini = w.folder.Read("bin/Duplora.ini");
        EXPECT_EQ(ini.substr(ini.find("diario=")), c.saved);
        if (c.box) {
            ASSERT_EQ(w.window.boxes.size(), 1u);
            EXPECT_EQ(w.window.boxes[0].text, *c.box + w.IniFile() + ".");
            EXPECT_EQ(w.window.focused, std::vector{ControlId::edtHorario});
            platform::SetAttributes(w.IniFile(), platform::kAttrArchive);
        } else {
            EXPECT_TRUE(w.window.boxes.empty());
        }
    }
}
