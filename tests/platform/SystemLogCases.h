#pragma once
// The entries the Windows system-log tests write: each event once, its text in the program's
// encoding (the ANSI code page in the Windows build) and the same text as Windows shows it.

#include "platform/SystemLog.h"

struct SystemLogCase {
    platform::SystemLogEvent event;
    const char* text;
    const wchar_t* shown;
};

inline constexpr SystemLogCase kSystemLogCases[] = {
    {platform::SystemLogEvent::kRunComplete, "Backup finalizado às 03:00:41 (nenhuma falha)",
     L"Backup finalizado às 03:00:41 (nenhuma falha)"},
    {platform::SystemLogEvent::kRunCompleteWithFailures,
     "Backup finalizado às 03:12:05 com 2 falhas: \\\\SRV01\\D\\Músicas\\Forró\\Pé de serra.mp3",
     L"Backup finalizado às 03:12:05 com 2 falhas: \\\\SRV01\\D\\Músicas\\Forró\\Pé de serra.mp3"},
    {platform::SystemLogEvent::kRunInterrupted,
     "Backup interrompido no passo 1: o servidor não respondeu em 30 s; 100% %1 %2!s! %% \"é\"",
     L"Backup interrompido no passo 1: o servidor não respondeu em 30 s; 100% %1 %2!s! %% \"é\""},
    {platform::SystemLogEvent::kNoRecentCompleteBackup,
     "Último backup completo: 08/12/2026 às 03:00 — há mais de 26 horas",
     L"Último backup completo: 08/12/2026 às 03:00 — há mais de 26 horas"},
};
