#pragma once
// Tells a notification service of every run over HTTP(S), as the settings' [AVISO] section says
// (Notice.h): a push monitor's ping, a chat bot's message, a webhook's JSON. The request is sent
// once the run has ended, never changes its outcome, and gives up after 15 s in all; the window
// keeps answering meanwhile. One that is not delivered is noted in Duplora.log with its reason:
// "Aviso não enviado: <scheme and host>: <reason>" (never the URL's path or query, which may hold
// a token).

#include <chrono>

#include "engine/RunChannel.h"
#include "settings/Settings.h"

class NotificationChannel final : public RunChannel {
public:
    static constexpr std::chrono::milliseconds kTimeLimit{15000};

    // `settings` are the [AVISO] values the settings hold, read when the run ends.
    explicit NotificationChannel(const NoticeSettings& settings,
                                 std::chrono::milliseconds timeLimit = kTimeLimit)
        : settings_(settings), timeLimit_(timeLimit) {}

    void Tell(const RunResult& result, const RunReport& report, ProgressView& window) override;

private:
    const NoticeSettings& settings_;
    std::chrono::milliseconds timeLimit_;
};
