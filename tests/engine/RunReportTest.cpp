// Duplora.log: the run's line from the run's result, and when the last run that completed ended,
// read back from the log at start-up.

#include <gtest/gtest.h>

#include "engine/RunReport.h"
#include "support/FixedClock.h"
#include "support/TestFolder.h"

namespace {

std::time_t Local(int year, int month, int day, int hour, int minute, int second) {
    return std::chrono::system_clock::to_time_t(LocalTime(year, month, day, hour, minute, second));
}

}  // namespace

TEST(RunReportTest, TheRunsLineSaysHowItEndedAndItsCounts) {
    RunResult result;
    result.began = Local(2026, 12, 10, 23, 59, 40);
    result.ended = Local(2026, 12, 11, 0, 1, 2);
    result.examined = 1;
    result.copied = 1;
    result.copiedBytes = 36909875;
    EXPECT_EQ(RunLine(result),
              "2026-12-10 23:59:40 a 00:01:02  Backup finalizado (1 arquivo examinado, 1 copiado, "
              "0 falhas, 35,2 MB copiados)");
    result.ending = RunResult::Ending::kInterrupted;
    result.step = 4;
    result.reason = "Não foi possível conectar\r\ncom o banco de dados";
    result.waiting = 2;
    result.failures = 3;
    EXPECT_EQ(RunLine(result),
              "2026-12-10 23:59:40 a 00:01:02  Backup interrompido no passo 4: Não foi possível "
              "conectar; com o banco de dados (1 arquivo examinado, 1 copiado, 2 aguardando, "
              "3 falhas, 35,2 MB copiados)");
    result.step = 0;
    result.reason = "erro";
    EXPECT_EQ(EndingText(result), "Backup interrompido: erro");
}

// The last run that completed (with or without failures), however many lines follow it; one that
// ended after midnight ended on the next day; the older log when the current one tells of none.
TEST(RunReportTest, TheLastCompletedRunIsReadBackFromTheLog) {
    TestFolder folder;
    const std::string log = folder.Path("Duplora.log");
    EXPECT_EQ(LastCompletedRun(log), std::nullopt);
    folder.Write("Duplora.log.1",
                 "2026-12-08 07:30:00 a 07:31:10  Backup finalizado (2 arquivos examinados, 0 "
                 "copiados, 0 falhas, 0,0 MB copiados)\r\n");
    EXPECT_EQ(LastCompletedRun(log), Local(2026, 12, 8, 7, 31, 10));
    folder.Write(
        "Duplora.log",
        "2026-12-09 07:30:00 a 07:30:05  Backup finalizado (1 arquivo examinado, 1 copiado, "
        "1 falha, 0,1 MB copiados)\r\n"
        "2026-12-10 23:59:40 a 00:01:02  Backup finalizado (3 arquivos examinados, 0 "
        "copiados, 0 falhas, 0,0 MB copiados)\r\n"
        "2026-12-11 07:30:01  Falha: \\\\SRV01\\D\\x.mp3: Access is denied.\r\n"
        "2026-12-11 07:30:00 a 07:30:09  Backup interrompido no passo 1: I/O error (0 "
        "arquivos examinados, 0 copiados, 0 falhas, 0,0 MB copiados)\r\n"
        "2026-12-11 07:31:00  Backup finalizado (a note, not a run's line)\r\n");
    EXPECT_EQ(LastCompletedRun(log), Local(2026, 12, 11, 0, 1, 2));
}

// Each run's line written by the report reads back.
TEST(RunReportTest, ARunsLineWrittenReadsBack) {
    TestFolder folder;
    FixedClock clock;
    clock.now = Local(2026, 12, 10, 7, 30, 0);
    RunReport report(clock);
    report.LogFile = folder.Path("Duplora.log");
    report.Begin();
    clock.now += 75;
    report.End(report.Result(RunResult::Ending::kComplete, 0, {}));
    EXPECT_EQ(LastCompletedRun(report.LogFile), clock.now);
    report.Begin();
    report.End(report.Result(RunResult::Ending::kInterrupted, 2, "walk broken"));
    EXPECT_EQ(LastCompletedRun(report.LogFile), clock.now);
}
