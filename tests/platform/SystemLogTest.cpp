// What reaches the system's log on Linux. syslog(3) sends each entry to the log daemon's socket
// /dev/log (journald's, rsyslog's); here a child process in a mount namespace of its own, with a
// tmpfs over /dev, finds this test's own datagram socket there, and the test reads what arrived:
// the priority, the tag, the process and the text, byte for byte. Mounting needs root: elsewhere
// the cases skip and say why.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <syslog.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <regex>
#include <string>
#include <vector>

#include "platform/SystemError.h"
#include "platform/SystemLog.h"
#include "support/PrivateSystemLog.h"
#include "support/TestFolder.h"

using platform::SystemLogEvent;

namespace {

struct Entry {
    SystemLogEvent event;
    std::string text;
};

// What a child process reported: for each entry whether WriteSystemLog wrote it (and if not,
// LastErrorText), and its process id; or why the child could not set up its world.
struct ChildReport {
    std::string setupFailure;
    pid_t pid = 0;
    std::vector<bool> written;
    std::vector<std::string> reasons;
};

// Writes `entries` from a child process whose /dev is a tmpfs of its own mount namespace, with the
// socket file `socketPath` bound over /dev/log (no /dev/log when it is empty).
ChildReport WriteInPrivateNamespace(const std::string& socketPath,
                                    const std::vector<Entry>& entries) {
    ChildReport report;
    report.setupFailure = WhyNoPrivateSystemLog();
    if (!report.setupFailure.empty()) return report;
    int channel[2];
    if (pipe2(channel, O_CLOEXEC) != 0) {
        report.setupFailure = std::string("pipe: ") + std::strerror(errno);
        return report;
    }
    const pid_t child = fork();
    if (child == 0) {
        close(channel[0]);
        std::string out;
        if (const std::string failed = EnterPrivateDevWithLog(socketPath); !failed.empty()) {
            out = "!" + failed;
            (void)!write(channel[1], out.data(), out.size());
            _exit(1);
        }
        for (const Entry& entry : entries) {
            const bool written = platform::WriteSystemLog(entry.event, entry.text);
            out += written ? "1\n" : "0" + platform::LastErrorText() + "\n";
        }
        (void)!write(channel[1], out.data(), out.size());
        _exit(0);
    }
    close(channel[1]);
    std::string out;
    char buffer[4096];
    for (ssize_t size; (size = read(channel[0], buffer, sizeof buffer)) > 0;)
        out.append(buffer, static_cast<std::size_t>(size));
    close(channel[0]);
    int status = 0;
    if (child < 0 || waitpid(child, &status, 0) != child) {
        report.setupFailure = std::string("fork: ") + std::strerror(errno);
        return report;
    }
    report.pid = child;
    if (out.rfind("!", 0) == 0) {
        report.setupFailure = out.substr(1);
        return report;
    }
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0)
        << "the writing process ended with status " << status;
    for (std::size_t start = 0, end; (end = out.find('\n', start)) != std::string::npos;
         start = end + 1) {
        report.written.push_back(out[start] == '1');
        report.reasons.push_back(out.substr(start + 1, end - start - 1));
    }
    return report;
}

const std::vector<Entry> kEntries = {
    {SystemLogEvent::kRunComplete, "Backup finalizado às 03:00:41 (nenhuma falha)"},
    {SystemLogEvent::kRunCompleteWithFailures,
     "Backup finalizado às 03:12:05 com 2 falhas: \\\\SRV01\\D\\Músicas\\Forró\\Pé de serra.mp3"},
    {SystemLogEvent::kRunInterrupted,
     "Backup interrompido no passo 1: o servidor não respondeu em 30 s; 100% %s %n %% não é "
     "formato"},
    {SystemLogEvent::kNoRecentCompleteBackup,
     "Último backup completo: 08/12/2026 às 03:00 — há mais de 26 horas"},
};

}  // namespace

// Each event reaches the log daemon's socket as one datagram: facility user with the event's
// level, the tag "Duplora" with the writer's process id, and the text byte for byte.
TEST(SystemLogTest, EachEventReachesTheLogSocketWithItsLevelTagAndText) {
    TestFolder folder;
    LogSocket daemon(folder.Path("log.socket"));
    ASSERT_TRUE(daemon.Bound()) << daemon.Path() << ": " << std::strerror(errno);

    const ChildReport report = WriteInPrivateNamespace(daemon.Path(), kEntries);
    if (!report.setupFailure.empty()) GTEST_SKIP() << report.setupFailure;

    ASSERT_EQ(report.written.size(), kEntries.size());
    for (std::size_t i = 0; i < kEntries.size(); ++i)
        EXPECT_TRUE(report.written[i]) << kEntries[i].text << ": " << report.reasons[i];

    const int levels[] = {LOG_INFO, LOG_WARNING, LOG_ERR, LOG_WARNING};
    const std::vector<std::string> received = daemon.Received();
    ASSERT_EQ(received.size(), kEntries.size());
    // glibc's form: <priority>Mmm dd hh:mm:ss tag[pid]: text
    const std::regex form(R"(<(\d+)>[A-Z][a-z]{2} [ 0-9]\d \d\d:\d\d:\d\d Duplora\[(\d+)\]: )");
    for (std::size_t i = 0; i < kEntries.size(); ++i) {
        SCOPED_TRACE(received[i]);
        std::smatch header;
        ASSERT_TRUE(
            std::regex_search(received[i], header, form, std::regex_constants::match_continuous));
        EXPECT_EQ(std::stoi(header[1]), LOG_USER | levels[i]);
        EXPECT_EQ(std::stoi(header[2]), report.pid);
        EXPECT_EQ(received[i].substr(static_cast<std::size_t>(header.length(0))), kEntries[i].text);
    }
}

// With no log daemon's socket, or one that nobody listens on any more, nothing can be written:
// WriteSystemLog says so, with the reason, instead of dropping the entry silently as syslog does.
TEST(SystemLogTest, NoLogDaemonIsReportedWithItsReason) {
    TestFolder folder;
    LogSocket gone(folder.Path("gone.socket"));
    ASSERT_TRUE(gone.Bound()) << gone.Path() << ": " << std::strerror(errno);
    gone.Close();

    struct Case {
        std::string socketPath;
        std::string reason;
    };
    const Case cases[] = {
        {"", "/dev/log: " + std::string(std::strerror(ENOENT))},
        {gone.Path(), "/dev/log: " + std::string(std::strerror(ECONNREFUSED))},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.socketPath.empty() ? "no /dev/log" : "nobody listens on /dev/log");
        const ChildReport report = WriteInPrivateNamespace(c.socketPath, {kEntries[2]});
        if (!report.setupFailure.empty()) GTEST_SKIP() << report.setupFailure;
        ASSERT_EQ(report.written.size(), 1u);
        EXPECT_FALSE(report.written[0]);
        EXPECT_EQ(report.reasons[0], c.reason);
    }
}
