// A whole run through the window's logic, with the channels the program lists: its result reaches
// the system's log (here a log socket of the test's own, in a child process's private /dev) and the
// notification service of [AVISO] (the tests' HTTP server), with the reason it stopped.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <syslog.h>
#include <unistd.h>

#include "mainform/MainForm.h"
#include "support/BackupWorld.h"
#include "support/FixedClock.h"
#include "support/HttpTestServer.h"
#include "support/PrivateSystemLog.h"
#include "support/RecordingWindow.h"

// A run of a world whose settings name a database that is not there (a wrong CAMINHO).
TEST(RunChannelsTest, AFailedRunReachesTheSystemsLogAndTheWebhookWithItsReason) {
    const HttpTestServer server;
    if (!server.Available()) GTEST_SKIP() << server.WhyNot();
    if (const std::string why = WhyNoPrivateSystemLog(); !why.empty()) GTEST_SKIP() << why;
    BackupWorld world;
    const std::string missing = world.folder.Path("NADA.FDB");
    world.folder.Write(
        "bin/Duplora.ini",
        "[BANCO]\r\nCAMINHO=" + missing +
            "\r\n[SERVIDOR]\r\nPASTA_SISTEMA=" + BackupWorld::kSystemFolder +
            "\r\n[AVISO]\r\nURL_SUCESSO=" + server.Url("http", server.HttpPort(), "/ok") +
            "\r\nURL_FALHA=" + server.Url("http", server.HttpPort(), "/hook") +
            "\r\nCORPO={\"text\": \"{maquina}: {texto}\"}\r\n");
    LogSocket daemon(world.folder.Path("log.socket"));
    ASSERT_TRUE(daemon.Bound());
    const std::size_t mark = server.Mark();

    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (!EnterPrivateDevWithLog(daemon.Path()).empty()) _exit(2);
        FixedClock clock;
        RecordingWindow window;
        MainForm form(window, clock, world.folder.Path("bin/Duplora.ini"));
        window.form = &form;
        form.FormCreate();
        form.btnIniciarBackupClick();
        _exit(window.steps[0] == StepState::Error ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;

    const std::string reason =
        "Backup interrompido no passo 1: I/O error during \"open\" operation "
        "for file \"" +
        missing + "\"";
    const auto entries = daemon.Received();
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_TRUE(entries[0].starts_with("<" + std::to_string(LOG_USER | LOG_ERR) + ">"))
        << entries[0];
    EXPECT_NE(entries[0].find(" Duplora[" + std::to_string(child) + "]: "), std::string::npos)
        << entries[0];
    EXPECT_NE(entries[0].find("  " + reason), std::string::npos) << entries[0];

    const auto requests = server.RequestsSince(mark);
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].method, "POST");
    EXPECT_EQ(requests[0].target, "/hook");
    EXPECT_NE(
        requests[0].body.find("  Backup interrompido no passo 1: I/O error during \\\"open\\\""),
        std::string::npos)
        << requests[0].body;
}
