// The window's logic through a recording window: real settings files, a real embedded database
// and real folders; only the controls are faked.

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <deque>
#include <functional>
#include <optional>
#include <stdexcept>

#include "common/SilentAbort.h"
#include "controls/TimeField.h"
#include "database/Errors.h"
#include "mainform/DefaultHandler.h"
#include "mainform/FormWorld.h"
#include "mainform/MainForm.h"
#include "platform/Files.h"
#include "platform/Profile.h"
#include "support/FixedClock.h"
#include "support/RecordingWindow.h"

TEST(MainFormTest, StartUpInstallsTheIconsReadsTheSettingsAndShowsEveryStepPending) {
    FormWorld w;
    EXPECT_EQ(w.window.trayIcons, std::vector<Picture>{Picture::IconIdle});
    EXPECT_EQ(w.window.trayTip, kApplicationTitle);
    EXPECT_EQ(w.form.Database.DB_Tavix.DatabaseName(), w.db->EmbeddedName());
    EXPECT_EQ(w.form.Run.SystemFolder, BackupWorld::kSystemFolder);
    EXPECT_EQ(w.form.Run.Report.LogFile, w.folder.Path("bin") + "/Duplora.log");
    EXPECT_TRUE(w.window.checked[ControlId::chkDiario]);
    EXPECT_EQ(w.form.edtHorario.Text(), "07:30");
    for (const auto& step : w.window.steps) EXPECT_EQ(step, StepState::Pending);
    EXPECT_TRUE(w.window.boxes.empty());
}

TEST(MainFormTest, ASettingsFileThatCannotBeReadIsSaidOverTheWindowOnceItIsUp) {
    TestFolder folder;
    folder.MakeFolder("bin/Duplora.ini");
    FixedClock clock;
    RecordingWindow window;
    MainForm form(window, clock, folder.Path("bin/Duplora.ini"));
    window.form = &form;
    const std::string builtInPath = form.Database.DB_Tavix.DatabaseName();
    form.FormCreate();
    EXPECT_TRUE(window.boxes.empty());  // not while the window is being made
    for (const auto& step : window.steps) EXPECT_EQ(step, StepState::Pending);
    EXPECT_EQ(form.Database.DB_Tavix.DatabaseName(), builtInPath);
    EXPECT_FALSE(window.checked[ControlId::chkDiario]);
    window.RunPendingEvents();
    ASSERT_EQ(window.boxes.size(), 1u);
    EXPECT_EQ(window.boxes[0].kind, MessageKind::Error);
    EXPECT_EQ(window.boxes[0].caption, kApplicationTitle);
    EXPECT_EQ(window.boxes[0].text, "Não foi possível ler " + folder.Path("bin/Duplora.ini") +
                                        ": " + std::strerror(EISDIR) + ".");
}

TEST(MainFormTest, ClosingSavesTheScheduleAndEndsTheApplicationUnlessItMayNot) {
    struct Case {
        const char* name;
        bool duringRun;
        bool refusedSave;
        bool closesAtOnce;
        int quitsAfterwards;
        bool boxAfterClose;
    };
    const Case cases[] = {
        {"idle", false, false, true, 1, false},
        {"during a run: the application ends once the run has returned", true, false, false, 1,
         false},
        {"settings file read-only: the window stays", false, true, false, 0, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FormWorld w;
        w.window.checked[ControlId::chkDiario] = false;  // a change that only closing writes
        if (c.refusedSave) w.MakeIniReadOnly();
        std::optional<bool> closed;
        int quitsDuringRun = 0;
        const auto close = [&] {
            closed = w.form.FormClose();
            EXPECT_TRUE(w.window.boxes.empty()) << "a box inside the close event";
        };
        if (c.duringRun) {
            w.window.progress.onProcessMessages = [&] {
                if (closed) return;
                close();
                EXPECT_EQ(w.Ini("diario"), "N");  // saved at once
                quitsDuringRun = w.window.quits;
            };
            w.form.btnIniciarBackupClick();
            EXPECT_EQ(quitsDuringRun, 0);
            EXPECT_TRUE(w.Copied("d:/Musicas/b.mp3"));  // the run went on to its end
        } else {
            close();
        }
        w.window.RunPendingEvents();
        ASSERT_TRUE(closed);
        EXPECT_EQ(*closed, c.closesAtOnce);
        EXPECT_EQ(w.window.quits, c.quitsAfterwards);
        EXPECT_EQ(w.Ini("diario"), c.refusedSave ? "S" : "N");
        if (c.boxAfterClose) {
            ASSERT_EQ(w.window.boxes.size(), 1u);
            EXPECT_EQ(w.window.boxes[0].kind, MessageKind::Error);
            EXPECT_EQ(w.window.boxes[0].text,
                      "Unable to write to " + w.folder.Path("bin/Duplora.ini") + ".");
        } else {
            EXPECT_TRUE(w.window.boxes.empty());
        }
        platform::SetAttributes(w.folder.Path("bin/Duplora.ini"), platform::kAttrArchive);
    }
}

TEST(MainFormTest, TheEndOfTheSessionSavesTheScheduleAndEndsEvenWhenTheSaveIsRefused) {
    for (const bool refused : {false, true}) {
        SCOPED_TRACE(refused ? "settings file read-only" : "settings file writable");
        FormWorld w;
        w.window.checked[ControlId::chkDiario] = false;
        if (refused) w.MakeIniReadOnly();
        w.form.EndSession();
        EXPECT_EQ(w.window.quits, 1);
        EXPECT_EQ(w.Ini("diario"), refused ? "S" : "N");
        EXPECT_TRUE(w.window.boxes.empty() && w.window.later.empty());
        const std::string log =
            w.folder.Exists("bin/Duplora.log") ? w.folder.Read("bin/Duplora.log") : "";
        EXPECT_EQ(log.find("Fim da sessão: Unable to write to ") != std::string::npos, refused)
            << log;
        platform::SetAttributes(w.folder.Path("bin/Duplora.ini"), platform::kAttrArchive);
    }
}

TEST(MainFormTest, LeavingTheTimeFieldChecksItThenSavesOrKeepsTheFocus) {
    struct Case {
        const char* typed;
        bool mayLeave;
        int beeps;
        std::optional<ShownBox> box;
        std::string saved;
    };
    const Case cases[] = {
        {"0815", true, 0, std::nullopt, "08:15"},
        {"1", false, 1,
         ShownBox{MessageKind::Error, kApplicationTitle,
                  "Invalid input value.  Use escape key to abandon changes."},
         "07:30"},
        {"2500", false, 0,
         ShownBox{MessageKind::Information, kApplicationTitle, "A hora informada não é válida."},
         "07:30"},
        {"0760", false, 0,
         ShownBox{MessageKind::Information, kApplicationTitle, "A hora informada não é válida."},
         "07:30"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        FormWorld w;
        w.form.edtHorario.FocusIn();
        w.form.edtHorario.Select(0, TimeField::kLength);
        for (const char* key = c.typed; *key; ++key) w.form.edtHorario.TypeCharacter(*key);
        EXPECT_EQ(w.form.TimeFieldMayLoseFocus(), c.mayLeave);
        EXPECT_EQ(w.window.beeps, c.beeps);
        EXPECT_EQ(!w.window.focused.empty(), !c.mayLeave && c.beeps == 0);
        if (c.box) {
            ASSERT_EQ(w.window.boxes.size(), 1u);
            EXPECT_EQ(w.window.boxes[0].kind, c.box->kind);
            EXPECT_EQ(w.window.boxes[0].caption, c.box->caption);
            EXPECT_EQ(w.window.boxes[0].text, c.box->text);
        } else {
            EXPECT_TRUE(w.window.boxes.empty());
        }
        EXPECT_EQ(w.Ini("horario"), c.saved);
    }
}

// The tray icon's rules, once for both windows: each window's own tests check only how it turns
// its toolkit's reports into these clicks.
TEST(MainFormTest, TheTrayIconTogglesOnALeftPressAndOpensOneMenuPerRightPress) {
    FormWorld w;
    struct Case {
        TrayClick click;
        bool visibleAfter;
    };
    // A double click toggles the window once: its first press is a left click, its second
    // comes as the double click, which changes nothing, hidden or shown.
    const Case cases[] = {
        {TrayClick::Left, false}, {TrayClick::Left, true},    {TrayClick::Double, true},
        {TrayClick::Left, false}, {TrayClick::Double, false}, {TrayClick::Left, true},
        {TrayClick::Left, false},
    };
    for (const Case& c : cases) {
        w.form.TrayIconClicked(c.click);
        EXPECT_EQ(w.window.visible, c.visibleAfter) << static_cast<int>(c.click);
    }
    EXPECT_EQ(w.window.timerStarts[TimerId::TimerPopup], 0);

    w.form.TrayIconClicked(TrayClick::Right);
    w.form.TrayIconClicked(TrayClick::Right);  // within the 200 ms: the timer is not restarted
    EXPECT_EQ(w.window.timerStarts[TimerId::TimerPopup], 1);
    w.form.TimerPopupTimer();
    EXPECT_FALSE(w.window.timers[TimerId::TimerPopup]);
    EXPECT_EQ(w.window.menusShown, 1);
    EXPECT_EQ(w.window.texts[ControlId::MenuOcultar_Restaurar], "Restaurar");
    EXPECT_EQ(w.window.pictures[ControlId::MenuOcultar_Restaurar], Picture::TrayRestaurar);

    w.form.MenuOcultar_RestaurarClick();  // "Restaurar"
    EXPECT_TRUE(w.window.visible);
    w.form.TrayIconClicked(TrayClick::Right);
    w.form.TimerPopupTimer();
    EXPECT_EQ(w.window.texts[ControlId::MenuOcultar_Restaurar], "Ocultar");
    EXPECT_EQ(w.window.pictures[ControlId::MenuOcultar_Restaurar], Picture::TrayOcultar);
    EXPECT_EQ(w.window.menusShown, 2);
}

TEST(MainFormTest, TheTrayMenusIniciarBackupRunsABackupAsTheButtonDoes) {
    FormWorld w;
    w.folder.Write("current/Duplora.bat", "echo ran >> batch-ran.txt\n");
    int chosenDuringRun = 0;
    w.window.progress.onProcessMessages = [&] {
        if (chosenDuringRun++ == 0) w.form.MenuIniciarBackupClick();  // disabled: nothing
    };
    w.form.MenuIniciarBackupClick();
    EXPECT_GT(chosenDuringRun, 0);
    for (const auto& step : w.window.steps) EXPECT_EQ(step, StepState::Ok);
    EXPECT_TRUE(w.Copied("d:/Musicas/b.mp3"));
    EXPECT_EQ(w.folder.Read("current/batch-ran.txt"), "ran\n");  // one run, not two
    EXPECT_TRUE(w.window.Controls().start);
}

// While no run is in progress the tray icon's tip tells when the last run that completed ended,
// from Duplora.log at start-up and from each run after it; a run that did not complete cleanly
// is named instead, until the next run.
TEST(MainFormTest, TheIdleTipTellsWhenTheLastCompletedRunEnded) {
    const std::string completed =
        "2026-03-01 07:30:00 a 07:31:10  Backup finalizado (2 arquivos examinados, 0 copiados, 0 "
        "falhas, 0,0 MB copiados)\r\n";
    FormWorld w("[CONFIG]\r\ndiario=S\r\nhorario=07:30\r\n", completed);
    EXPECT_EQ(w.window.trayTip, "Duplora - Tavix Zadododa: último backup completo em 01/03 07:31");

    w.clock.SetLocal(2026, 3, 2, 7, 30, 5);
    w.form.btnIniciarBackupClick();
    EXPECT_EQ(w.window.trayTip, "Duplora - Tavix Zadododa: último backup completo em 02/03 07:30");

    w.form.Database.DB_Tavix.SetDatabaseName(w.folder.Path("missing.fdb"));
    w.form.btnIniciarBackupClick();
    EXPECT_EQ(w.window.trayTip, "Duplora - Tavix Zadododa: backup interrompido no passo 1");
    EXPECT_EQ(FormWorld().window.trayTip, kApplicationTitle);  // no log: no completed run known
}

// With the daily run on, no completed run for 26 hours is said in the tip, and once a day as a
// warning in the system's log and in Duplora.log; it counts from the start-up when the log
// tells of no completed run. With the daily run off nothing is said.
TEST(MainFormTest, SilenceIsNoticedOncePerDayWhileTheDailyRunIsOn) {
    const std::string old =
        "2026-02-28 07:30:00 a 07:31:10  Backup finalizado (2 arquivos examinados, 0 copiados, 0 "
        "falhas, 0,0 MB copiados)\r\n";
    const std::string warning =
        "  O backup diário está ligado, mas nenhum backup foi completado desde ";
    const auto warnings = [&](const FormWorld& w) {
        int count = 0;
        const std::string log = w.Log();
        for (std::size_t at = log.find(warning); at != std::string::npos;
             at = log.find(warning, at + 1))
            ++count;
        return count;
    };
    FormWorld w("[CONFIG]\r\ndiario=S\r\nhorario=07:30\r\n", old);  // started 2026-03-02 06:00
    EXPECT_EQ(w.window.trayTip, "Duplora - Tavix Zadododa: sem backup completo desde 28/02 07:31");
    EXPECT_EQ(warnings(w), 1);
    EXPECT_NE(w.Log().find(warning + "2026-02-28 07:31:10"), std::string::npos) << w.Log();
    w.clock.SetLocal(2026, 3, 2, 23, 59, 0);
    w.form.TmrExecutaDiarioTimer();
    EXPECT_EQ(warnings(w), 1);
    w.clock.SetLocal(2026, 3, 3, 0, 0, 30);
    w.form.TmrExecutaDiarioTimer();
    EXPECT_EQ(warnings(w), 2);

    FormWorld off("[CONFIG]\r\ndiario=N\r\nhorario=07:30\r\n", old);
    EXPECT_EQ(off.window.trayTip,
              "Duplora - Tavix Zadododa: último backup completo em 28/02 07:31");
    EXPECT_EQ(warnings(off), 0);

    FormWorld none;  // no log: silence counts from the start-up
    EXPECT_EQ(none.window.trayTip, kApplicationTitle);
    none.clock.SetLocal(2026, 3, 3, 8, 0, 0);
    none.form.TmrExecutaDiarioTimer();
    EXPECT_EQ(none.window.trayTip, kApplicationTitle);
    none.clock.SetLocal(2026, 3, 3, 8, 1, 0);
    none.form.TmrExecutaDiarioTimer();
    EXPECT_EQ(none.window.trayTip, "Duplora - Tavix Zadododa: nenhum backup completo há 26 h");
    EXPECT_NE(none.Log().find(warning + "a inicialização, 2026-03-02 06:00:00"), std::string::npos)
        << none.Log();
}

TEST(DefaultHandlerTest, ShowsEveryErrorButSilentAbortWithAFullStopWhereItIsDue) {
    struct Boxes : MessageBoxes {
        void ShowMessageBox(MessageKind kind, const std::string& caption,
                            const std::string& text) override {
            shown.push_back({kind, caption, text});
        }
        std::vector<ShownBox> shown;
    } boxes;
    struct Case {
        std::function<void()> handler;
        std::optional<std::string> shown;
        bool completes = false;
    };
    const Case cases[] = {
        {[] { throw SilentAbort(); }, std::nullopt},
        {[] {}, std::nullopt, true},
        {[] { throw std::runtime_error("Database name is missing"); }, "Database name is missing."},
        {[] { throw std::runtime_error("Fim."); }, "Fim."},
        {[] { throw std::runtime_error("Pronto!"); }, "Pronto!"},  // "!" sorts before "."
        {[] { throw std::runtime_error("C:\\"); }, "C:\\."},
        {[] { throw std::runtime_error("Não foi possível"); }, "Não foi possível."},
        {[] { throw 42; }, "Unknown error."},
    };
    for (const Case& c : cases) {
        boxes.shown.clear();
        EXPECT_EQ(Guarded(boxes, c.handler), c.completes);
        if (!c.shown) {
            EXPECT_TRUE(boxes.shown.empty());
            continue;
        }
        ASSERT_EQ(boxes.shown.size(), 1u);
        EXPECT_EQ(boxes.shown[0].text, *c.shown);
        EXPECT_EQ(boxes.shown[0].caption, "Duplora - Tavix Zadododa");
        EXPECT_EQ(boxes.shown[0].kind, MessageKind::Error);
    }
}

TEST(DefaultHandlerTest, AStartUpFailureIsReportedAsTheRuntimeReportsIt) {
    const DatabaseClientError error(
        "InterBase library gds32.dll not found in the path. Please install InterBase to use this "
        "functionality");
    const std::string text = ApplicationErrorText(error, "Duplora.exe");
    const std::string head = "Exception DatabaseClientError in module Duplora.exe at ";
    EXPECT_EQ(text.substr(0, head.size()), head);
    const std::string tail =
        ".\r\nInterBase library gds32.dll not found in the path. Please install InterBase to use "
        "this functionality.\r\n";
    ASSERT_GT(text.size(), tail.size());
    EXPECT_EQ(text.substr(text.size() - tail.size()), tail);
}
