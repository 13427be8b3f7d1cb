#pragma once
// The request that tells a notification service of a run, made from the settings' [AVISO] section
// and the run's result: which URL (the success one after a run that completed without failures,
// the failure one after any other), the placeholders filled in, and what Duplora.log may show of
// the URL.

#include <optional>
#include <string>

#include "engine/RunResult.h"
#include "platform/Http.h"
#include "settings/Settings.h"

// The placeholders a URL or a body may hold, and what each becomes:
//   {texto}     the run's line, as Duplora.log has it (RunLine)
//   {maquina}   the standby machine's name
//   {situacao}  "finalizado", "finalizado com falhas" or "interrompido"
//   {falhas}    the number of failures
// In a URL each value is percent-encoded (UTF-8); in a body, written as the inside of a JSON
// string. Every other byte is left as it is, in UTF-8.
std::optional<platform::HttpRequest> NoticeRequest(const NoticeSettings& settings,
                                                   const RunResult& result,
                                                   const std::string& machine);

// What Duplora.log may show of a URL: its scheme, host and port ("https://api.telegram.org"); its
// path and query, which often hold a token, and any user name and password never.
std::string UrlForTheLog(const std::string& url);
