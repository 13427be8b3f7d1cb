#pragma once
// The three database objects the backup run uses, with the settings the playout system's
// database takes: the connection DB_Tavix, the query QryBusca and the transaction Trans_Tavix.

#include <string>
#include <vector>

#include "database/ClientLibrary.h"
#include "database/FbDatabase.h"
#include "database/FbQuery.h"
#include "database/FbTransaction.h"

struct TavixDatabase {
    // Creating them loads the client library; a missing one raises DatabaseClientError.
    TavixDatabase();
    explicit TavixDatabase(const ClientLibrary& client);

    // Declared in this order so that they go in the reverse one: the transaction first
    // (committing an active transaction in forced mode), then the query, then the connection.
    FbDatabase DB_Tavix;
    FbQuery QryBusca;
    FbTransaction Trans_Tavix;
};

inline constexpr const char* kDefaultDatabaseName = "C:\\Tavix\\Sonvira\\Tavixdb\\TAVIXAUDIO.FDB";

// DB_Tavix's Params: the SYSDBA account, and a connect time-out of 30 s, so that a server that
// does not answer ends step 1 and does not hold the run (and the daily schedule) for good. On
// Linux the connection also asks for every text in UTF-8, the program's encoding there, so that
// the server converts WIN1252 and UTF8 columns itself; Windows keeps its ANSI texts byte for byte.
std::vector<std::string> TavixDatabaseParams();
