// The notification channel against the tests' own HTTP server (support/HttpTestServer.h): what a
// service receives after each kind of run, and what Duplora.log says of a notice that was not
// delivered. Natively through libcurl, under Wine through WinHTTP.

#include <gtest/gtest.h>

#include "notify/NotificationChannel.h"
#include "support/FixedClock.h"
#include "support/HttpTestServer.h"
#include "support/RecordingView.h"
#include "support/TestFolder.h"

namespace {

struct Channel {
    explicit Channel(std::chrono::milliseconds limit = NotificationChannel::kTimeLimit)
        : channel(settings, limit) {
        report.LogFile = folder.Path("Duplora.log");
    }
    std::string Log() const {
        return folder.Exists("Duplora.log") ? folder.Read("Duplora.log") : std::string();
    }

    TestFolder folder;
    FixedClock clock;
    RunReport report{clock};
    RecordingView window;
    NoticeSettings settings;
    NotificationChannel channel;
};

RunResult Interrupted(std::string reason) {
    RunResult result;
    result.ending = RunResult::Ending::kInterrupted;
    result.step = 1;
    result.reason = std::move(reason);
    return result;
}

}  // namespace

// A push monitor's success ping after a clean run, a webhook's JSON after a failed one.
TEST(NotificationChannelTest, TheServiceReceivesWhatTheSettingsSayForEachRun) {
    const HttpTestServer server;
    if (!server.Available()) GTEST_SKIP() << server.WhyNot();
    Channel c;
    c.settings = {server.Url("http", server.HttpPort(), "/ping/abc?msg={situacao}"),
                  server.Url("http", server.HttpPort(), "/hook/T1"),
                  "{\"text\": \"{texto}\", \"falhas\": {falhas}}"};
    c.settings.body.clear();  // the ping: a GET

    std::size_t mark = server.Mark();
    c.channel.Tell(RunResult{}, c.report, c.window);
    auto requests = server.RequestsSince(mark);
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].method, "GET");
    EXPECT_EQ(requests[0].target, "/ping/abc?msg=finalizado");

    c.settings.body = "{\"text\": \"{texto}\", \"falhas\": {falhas}}";
    mark = server.Mark();
    c.channel.Tell(Interrupted("I/O error during \"open\" operation for file \"C:\\Tavix\\X.FDB\""),
                   c.report, c.window);
    requests = server.RequestsSince(mark);
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].method, "POST");
    EXPECT_EQ(requests[0].target, "/hook/T1");
    EXPECT_EQ(requests[0].Header("Content-Type"), "application/json; charset=utf-8");
    EXPECT_NE(requests[0].body.find("Backup interrompido no passo 1: I/O error during \\\"open\\\" "
                                    "operation for file \\\"C:\\\\Tavix\\\\X.FDB\\\""),
              std::string::npos)
        << requests[0].body;
    EXPECT_TRUE(requests[0].body.ends_with("\", \"falhas\": 0}")) << requests[0].body;
    EXPECT_EQ(c.Log(), "");  // both delivered
}

// A notice that is not delivered (a service that does not answer, a status that is no success) is
// noted with the reason and the URL's scheme, host and port, never its token; the window answers
// its messages while the notice waits, and the wait ends at the time limit.
TEST(NotificationChannelTest, ANoticeNotDeliveredIsNotedWithoutItsTokenAndTheWindowAnswers) {
    const HttpTestServer server;
    if (!server.Available()) GTEST_SKIP() << server.WhyNot();
    Channel c(std::chrono::seconds(2));
    const std::string shown = "http://127.0.0.1:" + std::to_string(server.HttpPort());
    for (const std::string target : {"/hang?token=SECRET", "/status/404?token=SECRET"}) {
        SCOPED_TRACE(target);
        c.settings.failureUrl = server.Url("http", server.HttpPort(), target);
        const int processedBefore = c.window.processed;
        const auto started = std::chrono::steady_clock::now();
        c.channel.Tell(Interrupted("x"), c.report, c.window);
        EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(10));
        if (target.starts_with("/hang")) {
            EXPECT_GT(c.window.processed, processedBefore);
        }
    }
    const std::string log = c.Log();
    EXPECT_EQ(log.find("SECRET"), std::string::npos) << log;
    EXPECT_NE(log.find("  Aviso não enviado: " + shown + ": "), std::string::npos) << log;
    EXPECT_NE(log.find("  Aviso não enviado: " + shown + ": HTTP 404"), std::string::npos) << log;
}
