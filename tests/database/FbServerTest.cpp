// The database link through a real Firebird server on 127.0.0.1: the shared test server that
// CTest starts, and private servers that a test stops in mid-work.

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>

#include "database/Errors.h"
#include "database/QueryHelpers.h"
#include "database/RecordingClientLibrary.h"
#include "database/TavixDatabase.h"
#include "support/FirebirdTestDatabase.h"
#include "support/FirebirdTestServer.h"
#include "support/TestFolder.h"

namespace {

using Strings = std::vector<std::string>;

const std::string kPath = "C:\\Musicas\\Rock\\Pop\\";  // 20 bytes

// The texts the client library gives when the server has gone away under a connection.
bool NetworkFailure(const std::string& message) {
    return message == "Error reading data from the connection" ||
           message == "Error writing data to the connection";
}

}  // namespace

TEST(ServerTest, ReadsFixedAndVaryingColumnsAndNulls) {
    const struct {
        std::string type;
        Strings expected;
    } cases[] = {{"VARCHAR(60)", {kPath, ""}}, {"CHAR(60)", {kPath + std::string(40, ' '), ""}}};
    for (const auto& c : cases) {
        TestFolder folder;
        FirebirdTestDatabase file(folder, c.type, {kPath, std::nullopt});
        TavixDatabase db;
        db.DB_Tavix.SetDatabaseName(file.ServerName());
        db.DB_Tavix.SetConnected(true);
        EXPECT_EQ(ReadFolders(db), c.expected) << c.type;
        db.DB_Tavix.SetConnected(false);
        EXPECT_FALSE(db.DB_Tavix.Connected());
    }
}

TEST(ServerTest, AnEmptyTableIsAtItsEndAtOnce) {
    TestFolder folder;
    FirebirdTestDatabase file(folder, "VARCHAR(60)", {});
    TavixDatabase db;
    db.DB_Tavix.SetDatabaseName(file.ServerName());
    db.QryBusca.SetSQL("SELECT Pas_Path FROM Tb_Pastas");
    db.QryBusca.Open();  // connects first when needed
    EXPECT_TRUE(db.DB_Tavix.Connected());
    EXPECT_TRUE(db.QryBusca.Eof());
    EXPECT_EQ(db.QryBusca.FieldAsString("Pas_Path"), "");

    // Each opening after a reconnect prepares and runs the query anew: a row added meanwhile
    // is read.
    db.DB_Tavix.SetConnected(false);
    file.Execute("INSERT INTO Tb_Pastas VALUES ('C:\\Novo\\');");
    EXPECT_EQ(ReadFolders(db), (Strings{"C:\\Novo\\"}));
}

TEST(ServerTest, AWrongPasswordGivesTheServersTextAndStaysClosed) {
    TestFolder folder;
    FirebirdTestDatabase file(folder, "VARCHAR(60)", {kPath});
    TavixDatabase db;
    db.DB_Tavix.SetDatabaseName(file.ServerName());
    db.DB_Tavix.SetParams({"user_name=SYSDBA", "password=errada"});
    const auto error = ErrorOf<DatabaseError>([&] { db.DB_Tavix.SetConnected(true); });
    // The server's text, its final full stop removed.
    EXPECT_STREQ(error.what(),
                 "Your user name and password are not defined. Ask your database administrator "
                 "to set up a Firebird login");
    EXPECT_EQ(error.SqlCode(), -902);
    EXPECT_EQ(error.ErrorCode(), 335544472);  // isc_login
    EXPECT_FALSE(db.DB_Tavix.Connected());

    db.DB_Tavix.SetParams(TavixDatabaseParams());  // the link's own account: let in
    db.DB_Tavix.SetConnected(true);
    EXPECT_TRUE(db.DB_Tavix.Connected());
}

TEST(ServerTest, AMissingFileGivesTheServersTextAndStaysClosed) {
    TestFolder folder;
    TavixDatabase db;
    db.DB_Tavix.SetDatabaseName(SharedServerAddress() + ":" + folder.Path("NADA.FDB"));
    const auto error = ErrorOf<DatabaseError>([&] { db.DB_Tavix.SetConnected(true); });
    EXPECT_EQ(std::string(error.what()),
              "I/O error during \"open\" operation for file \"" + folder.Path("NADA.FDB") +
                  "\"\r\nError while trying to open file\r\nNo such file or directory");
    EXPECT_EQ(error.ErrorCode(), 335544344);  // isc_io_error
    EXPECT_FALSE(db.DB_Tavix.Connected());
}

TEST(ServerTest, AFailingDetachLeavesItConnectedAndIsTriedAgain) {
    TestFolder folder;
    FirebirdTestDatabase file(folder, "VARCHAR(60)", {kPath});
    RecordingClientLibrary recorder;
    TavixDatabase db(recorder.Library());
    db.DB_Tavix.SetDatabaseName(file.ServerName());
    EXPECT_EQ(ReadFolders(db), (Strings{kPath}));

    // A transaction that another part of the process started on the same attachment keeps
    // the server from letting it go.
    const ClientLibrary& client = ClientLibrary::Process();
    ISC_STATUS_ARRAY status{};
    isc_tr_handle other = 0;
    struct {
        isc_db_handle* database;
        int length;
        const char* block;
    } vector{db.DB_Tavix.Handle(), 0, nullptr};
    ASSERT_EQ(client.isc_start_multiple(status, &other, 1, &vector), 0);

    recorder.Clear();
    const auto error = ErrorOf<DatabaseError>([&] { db.DB_Tavix.SetConnected(false); });
    EXPECT_NE(std::string(error.what()).find("open transactions"), std::string::npos)
        << error.what();
    EXPECT_TRUE(db.DB_Tavix.Connected());
    EXPECT_FALSE(db.Trans_Tavix.InTransaction());
    EXPECT_FALSE(db.QryBusca.Active());
    EXPECT_EQ(recorder.Names(),
              (Strings{"isc_dsql_free_statement:DSQL_close", "isc_dsql_free_statement:DSQL_drop",
                       "isc_commit_transaction", "isc_detach_database"}));

    // A later disconnect tries the detach again, and only that.
    recorder.Clear();
    db.DB_Tavix.SetConnected(false);
    EXPECT_FALSE(db.DB_Tavix.Connected());
    EXPECT_EQ(recorder.Names(), (Strings{"isc_detach_database"}));
}

// --- A private server, stopped in the middle ----------------------------------------------------

TEST(StoppedServerTest, StoppedWhileRowsAreFetched) {
    TestFolder folder;
    FirebirdTestServer server(folder);
    // More rows than the client library fetches ahead in one go.
    FirebirdTestDatabase::Rows rows;
    for (int i = 0; i < 5000; ++i) rows.push_back("C:\\Musicas\\" + std::to_string(i) + "\\");
    FirebirdTestDatabase file(folder, "VARCHAR(60)", rows);
    RecordingClientLibrary recorder;
    TavixDatabase db(recorder.Library());
    db.DB_Tavix.SetDatabaseName(file.ServerName(server.Address()));
    db.QryBusca.SetSQL("SELECT Pas_Path FROM Tb_Pastas");
    db.QryBusca.Open();
    EXPECT_EQ(db.QryBusca.FieldAsString("Pas_Path"), "C:\\Musicas\\0\\");

    server.Kill();
    const auto error = ErrorOf<DatabaseError>([&] {
        while (!db.QryBusca.Eof()) db.QryBusca.Next();
    });
    EXPECT_TRUE(NetworkFailure(error.what())) << error.what();
    EXPECT_EQ(error.SqlCode(), -902);
    // A failing fetch closes the cursor and nothing more.
    EXPECT_TRUE(db.QryBusca.Eof());
    EXPECT_EQ(recorder.Names().back(), "isc_dsql_free_statement:DSQL_close");
    EXPECT_TRUE(db.DB_Tavix.Connected());

    // Disconnecting a lost connection: the statement is gone with it, the transaction ends in
    // forced mode, and the connection reads as not connected.
    recorder.Clear();
    db.DB_Tavix.SetConnected(false);
    EXPECT_FALSE(db.DB_Tavix.Connected());
    EXPECT_FALSE(db.Trans_Tavix.InTransaction());
    EXPECT_EQ(recorder.Names(),
              (Strings{"isc_dsql_free_statement:DSQL_drop", "isc_commit_transaction",
                       "isc_rollback_transaction", "isc_detach_database"}));
}

TEST(StoppedServerTest, StoppedBeforeTheQueryIsPreparedAgainClosesByForce) {
    TestFolder folder;
    FirebirdTestServer server(folder);
    FirebirdTestDatabase file(folder, "VARCHAR(60)", {kPath});
    TavixDatabase db;
    db.DB_Tavix.SetDatabaseName(file.ServerName(server.Address()));
    EXPECT_EQ(ReadFolders(db), (Strings{kPath}));

    server.Kill();
    const auto error = ErrorOf<DatabaseError>([&] { ReadFolders(db); });
    EXPECT_TRUE(NetworkFailure(error.what())) << error.what();
    EXPECT_FALSE(db.DB_Tavix.Connected());
    EXPECT_FALSE(db.Trans_Tavix.InTransaction());
    EXPECT_FALSE(db.QryBusca.Prepared());

    // With no server to answer, connecting again fails and leaves it closed.
    const auto refused = ErrorOf<DatabaseError>([&] { db.DB_Tavix.SetConnected(true); });
    EXPECT_EQ(std::string(refused.what()).rfind("Unable to complete network request to host", 0),
              0u)
        << refused.what();
    EXPECT_FALSE(db.DB_Tavix.Connected());
}

// --- The shared server's script keeps away from servers it did not start ----------------------

namespace {

// Runs tests/support/firebird-test-server.sh; its exit status, its output in `output`.
int RunServerScript(const std::string& arguments, std::string& output) {
    const std::string command =
        "bash '" + std::string(DUPLORA_FIREBIRD_TEST_SERVER) + "' " + arguments + " 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) throw std::runtime_error("cannot run " + command);
    char buffer[4096];
    while (size_t n = fread(buffer, 1, sizeof buffer, pipe)) output.append(buffer, n);
    return pclose(pipe);
}

}  // namespace

// Another Firebird server on the port, one that even accepts the tests' login (a system server
// set up that way): the script must not take it for the one it starts, and so run the tests
// against it.
TEST(TestServerScriptTest, StartRefusesAPortAnotherServerListensOn) {
    TestFolder folder;
    FirebirdTestServer other(folder);
    std::string output;
    EXPECT_NE(RunServerScript(
                  "start '" + folder.Path("shared") + "' " + std::to_string(other.Port()), output),
              0);
    EXPECT_NE(output.find("in use by another program"), std::string::npos) << output;
    EXPECT_FALSE(folder.Exists("shared/server.pid"));
}

// A pid file that names a process the script did not start for its folder (a number taken
// again since, a file written by hand): stopping leaves that process running.
TEST(TestServerScriptTest, StopEndsOnlyTheServerOfItsFolder) {
    TestFolder folder;
    FirebirdTestServer other(folder);
    FirebirdTestDatabase file(folder, "VARCHAR(60)", {kPath});
    folder.Write("shared/server.pid", std::to_string(other.Pid()) + "\n");
    std::string output;
    EXPECT_EQ(RunServerScript("stop '" + folder.Path("shared") + "'", output), 0) << output;

    TavixDatabase db;
    db.DB_Tavix.SetDatabaseName(file.ServerName(other.Address()));
    EXPECT_EQ(ReadFolders(db), (Strings{kPath}));
}
