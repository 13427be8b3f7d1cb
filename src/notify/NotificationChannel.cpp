#include "notify/NotificationChannel.h"

#include <chrono>
#include <future>

#include "notify/Notice.h"
#include "platform/Http.h"
#include "platform/Process.h"

void NotificationChannel::Tell(const RunResult& result, const RunReport& report,
                               ProgressView& window) {
    auto request = NoticeRequest(settings_, result, platform::ComputerName());
    if (!request) return;
    request->timeLimit = timeLimit_;
    // The request waits on a thread of its own, bounded by its time limit; the window's messages
    // are handled meanwhile, as during a walk.
    std::future<platform::HttpResult> answer = std::async(
        std::launch::async, [request = *request] { return platform::SendHttp(request); });
    while (answer.wait_for(std::chrono::milliseconds(10)) != std::future_status::ready)
        window.ProcessMessages();
    const platform::HttpResult sent = answer.get();
    if (!sent.delivered)
        report.Note("Aviso não enviado: " + UrlForTheLog(request->url) + ": " + sent.failure);
}
