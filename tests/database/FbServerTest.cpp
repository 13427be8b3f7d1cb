// The database link through a real Firebird server on loopback: the shared test server that
// scripts/firebird-server.sh starts, and private servers that a test stops in mid-work.

#include <gtest/gtest.h>

#include <functional>
#include <iostream>

#include "database/Errors.h"
#include "database/RecordingClientLibrary.h"
#include "database/TavixDatabase.h"
#include "support/FirebirdTestDatabase.h"
#include "support/FirebirdTestServer.h"
#include "support/TestFolder.h"

TEST(ProbeTest, Killed) {
    TestFolder folder;
    FirebirdTestServer server(folder);
    FirebirdTestDatabase::Rows rows;
    for (int i = 0; i < 3000; ++i) rows.push_back("C:\\Musicas\\" + std::to_string(i) + "\\");
    FirebirdTestDatabase file(folder, "VARCHAR(60)", rows);
    RecordingClientLibrary recorder;
    TavixDatabase db(recorder.Library());
    db.DB_Tavix.SetDatabaseName(file.ServerName(server.Port()));
    db.DB_Tavix.SetConnected(true);
    db.QryBusca.SetSQL("SELECT Pas_Path FROM Tb_Pastas");
    db.QryBusca.Open();
    db.QryBusca.Next();
    server.Kill();
    recorder.Clear();
    int n = 0;
    try {
        while (!db.QryBusca.Eof()) { db.QryBusca.Next(); ++n; }
        std::cout << "eof after " << n << std::endl;
    } catch (const DatabaseError& e) {
        std::cout << "after " << n << " [" << e.what() << "] " << e.SqlCode() << " " << e.ErrorCode() << std::endl;
    }
    for (auto& c : recorder.Names()) std::cout << c << "\n";
    recorder.Clear();
    std::cout << "connected " << db.DB_Tavix.Connected() << std::endl;
    try {
        db.DB_Tavix.SetConnected(false);
    } catch (const DatabaseError& e) {
        std::cout << "disc [" << e.what() << "] " << e.SqlCode() << " " << e.ErrorCode() << std::endl;
    }
    for (auto& c : recorder.Names()) std::cout << c << "\n";
    std::cout << "connected " << db.DB_Tavix.Connected() << std::endl;
    recorder.Clear();
    try {
        db.DB_Tavix.SetConnected(false);
    } catch (const DatabaseError& e) {
        std::cout << "disc2 [" << e.what() << "] " << e.SqlCode() << " " << e.ErrorCode() << std::endl;
    }
    for (auto& c : recorder.Names()) std::cout << c << "\n";
    std::cout << "connected " << db.DB_Tavix.Connected() << std::endl;
}

TEST(ProbeTest, KilledBeforeReopen) {
    TestFolder folder;
    FirebirdTestServer server(folder);
    FirebirdTestDatabase file(folder, "VARCHAR(60)", {"a"});
    RecordingClientLibrary recorder;
    TavixDatabase db(recorder.Library());
    db.DB_Tavix.SetDatabaseName(file.ServerName(server.Port()));
    db.DB_Tavix.SetConnected(true);
    db.QryBusca.SetSQL("SELECT Pas_Path FROM Tb_Pastas");
    db.QryBusca.Open();
    server.Kill();
    recorder.Clear();
    try {
        db.QryBusca.Close();
        db.QryBusca.SetSQL("SELECT Pas_Path FROM Tb_Pastas");
        db.QryBusca.Open();
    } catch (const DatabaseError& e) {
        std::cout << "[" << e.what() << "] " << e.SqlCode() << " " << e.ErrorCode() << std::endl;
    }
    for (auto& c : recorder.Names()) std::cout << c << "\n";
    std::cout << "connected " << db.DB_Tavix.Connected() << std::endl;
}
