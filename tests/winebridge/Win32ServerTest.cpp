// The database link of the Windows build against a real Firebird server: under Wine, the
// gds32.dll beside this test is the bridge to the Linux client library (tests/winebridge/).
// The databases are made before the test with the host's tools (make-test-databases.sh).

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "database/ClientLibrary.h"
#include "database/Errors.h"
#include "database/QueryHelpers.h"
#include "database/TavixDatabase.h"
#include "winebridge/CheckedClientLibrary.h"
#include "winebridge/FreezingRelay.h"

namespace {

using Strings = std::vector<std::string>;

const std::string kPath = "C:\\Musicas\\Rock\\Pop\\";  // 20 bytes, as the databases hold it

std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

// The tests' own server, DUPLORA_FIREBIRD ("127.0.0.1/<port>"): never another one.
std::string ServerAddress() {
    const std::string address = Environment("DUPLORA_FIREBIRD");
    if (address.empty())
        throw std::runtime_error("DUPLORA_FIREBIRD is not set: run the test through CTest");
    return address;
}

// The host path of a file in the folder that make-test-databases.sh filled.
std::string DatabaseFile(const std::string& name) {
    const std::string folder = Environment("DUPLORA_WINEBRIDGE_DATABASES");
    if (folder.empty()) throw std::runtime_error("DUPLORA_WINEBRIDGE_DATABASES is not set");
    return folder + "/" + name;
}

std::string DatabaseName(const std::string& file) {
    return ServerAddress() + ":" + DatabaseFile(file);
}

}  // namespace

TEST(Win32ServerTest, ReadsFixedAndVaryingColumnsAndNulls) {
    const struct {
        std::string file;
        Strings expected;
    } cases[] = {{"VARCHAR.FDB", {kPath, ""}}, {"CHAR.FDB", {kPath + std::string(40, ' '), ""}}};
    for (const auto& c : cases) {
        TavixDatabase db;  // the process's client library: gds32.dll
        db.DB_Tavix.SetDatabaseName(DatabaseName(c.file));
        db.DB_Tavix.SetConnected(true);
        EXPECT_EQ(ReadFolders(db), c.expected) << c.file;
        db.DB_Tavix.SetConnected(false);
        EXPECT_FALSE(db.DB_Tavix.Connected());
    }
}

TEST(Win32ServerTest, AMissingFileGivesTheServersTextAndStaysClosed) {
    TavixDatabase db;
    db.DB_Tavix.SetDatabaseName(DatabaseName("NADA.FDB"));
    const auto error = ErrorOf<DatabaseError>([&] { db.DB_Tavix.SetConnected(true); });
    // The server's texts as isc_interprete gives them, from the Linux client's messages file.
    EXPECT_EQ(std::string(error.what()),
              "I/O error during \"open\" operation for file \"" + DatabaseFile("NADA.FDB") +
                  "\"\r\nError while trying to open file\r\nNo such file or directory");
    EXPECT_EQ(error.SqlCode(), -902);
    EXPECT_EQ(error.ErrorCode(), 335544344);  // isc_io_error
    EXPECT_FALSE(db.DB_Tavix.Connected());
}

// A server that stops answering under an open connection (here the relay to it frozen) is cut off
// once the connection's time-out has passed (2 s here, 30 s in a run), through the client's
// fb_cancel_operation, and the failure says why; without it the call waits until the relay
// thaws, a minute later.
TEST(Win32ServerTest, AServerThatStopsAnsweringIsCutOffAfterTheTimeOut) {
    const std::string address = ServerAddress();  // "127.0.0.1/<port>"
    const std::size_t slash = address.find('/');
    FreezingRelay relay(address.substr(0, slash), std::stoi(address.substr(slash + 1)));
    TavixDatabase db;
    std::vector<std::string> params = TavixDatabaseParams();
    std::erase_if(params, [](const std::string& line) { return line.starts_with("connect_"); });
    params.push_back("connect_timeout=2");
    db.DB_Tavix.SetParams(params);
    db.DB_Tavix.SetDatabaseName("127.0.0.1/" + std::to_string(relay.Port()) + ":" +
                                DatabaseFile("VARCHAR.FDB"));
    db.DB_Tavix.SetConnected(true);
    EXPECT_EQ(ReadFolders(db), (Strings{kPath, ""}));

    relay.Freeze(std::chrono::seconds(60));
    const auto frozenAt = std::chrono::steady_clock::now();
    const std::string error =
        MessageOf<DatabaseError>([&] { EXPECT_EQ(ReadFolders(db).size(), 2u); });
    EXPECT_LT(std::chrono::steady_clock::now() - frozenAt, std::chrono::seconds(20));
    EXPECT_NE(error.find("o servidor não respondeu em 2 s"), std::string::npos) << error;
}

TEST(Win32ServerTest, EveryEntryPointLeavesTheStackAsItFoundIt) {
    CheckedClientLibrary checked;
    TavixDatabase db(checked.Library());
    db.DB_Tavix.SetDatabaseName(DatabaseName("VARCHAR.FDB"));
    EXPECT_EQ(ReadFolders(db), (Strings{kPath, ""}));

    // Disconnecting closes the cursor, frees the statement, commits and detaches, in order.
    const std::size_t beforeDisconnect = checked.Names().size();
    db.DB_Tavix.SetConnected(false);
    const Strings names = checked.Names();
    EXPECT_EQ(Strings(names.begin() + beforeDisconnect, names.end()),
              (Strings{"isc_dsql_free_statement", "isc_dsql_free_statement",
                       "isc_commit_transaction", "isc_detach_database"}));

    // The calls a run makes only when something fails: a server error, and a rollback (here
    // of no transaction, which the client refuses).
    db.DB_Tavix.SetDatabaseName(DatabaseName("NADA.FDB"));
    EXPECT_THROW(db.DB_Tavix.SetConnected(true), DatabaseError);
    ISC_STATUS_ARRAY status{};
    isc_tr_handle none = 0;
    EXPECT_NE(checked.Library().isc_rollback_transaction(status, &none), 0);
    EXPECT_EQ(status[1], 335544332);  // isc_bad_trans_handle

    std::set<std::string> called;
    for (const auto& call : checked.Calls()) {
        EXPECT_EQ(call.stackMoved, 0) << call.name;
        called.insert(call.name);
    }
#define DUPLORA_ENTRY(name) EXPECT_EQ(called.count(#name), 1u) << #name " was not called";
#define DUPLORA_OPTIONAL_ENTRY(name)  // called only for a server that does not answer
#include "database/EntryPoints.inc"
#undef DUPLORA_OPTIONAL_ENTRY
#undef DUPLORA_ENTRY
}
