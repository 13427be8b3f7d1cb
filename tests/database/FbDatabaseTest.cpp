// The database link on real embedded databases (no server): the client library opens the file
// in this process.

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <regex>

#include "database/ClientLibrary.h"
#include "database/Errors.h"
#include "database/FbDatabase.h"
#include "database/QueryHelpers.h"
#include "database/RecordingClientLibrary.h"
#include "database/TavixDatabase.h"
#include "platform/SystemError.h"
#include "support/FirebirdTestDatabase.h"
#include "support/TestFolder.h"

namespace {

using Strings = std::vector<std::string>;

}  // namespace

TEST(ClientLibraryTest, LoadsTheClientAndResolvesEveryEntryPoint) {
    const ClientLibrary& client = ClientLibrary::Process();
#define DUPLORA_ENTRY(name) EXPECT_NE(client.name, nullptr) << #name;
#include "database/EntryPoints.inc"
#undef DUPLORA_ENTRY
    EXPECT_EQ(&client, &ClientLibrary::Process());  // loaded once
}

TEST(ClientLibraryTest, AMissingLibraryIsReportedWithItsFileName) {
    EXPECT_EQ(MessageOf<DatabaseClientError>([] { ClientLibrary::Load("libfbclient-none.so.2"); }),
              "InterBase library libfbclient-none.so.2 not found in the path. Please install "
              "InterBase to use this functionality");
    EXPECT_EQ(std::string(kClientLibraryName), "libfbclient.so.2");
}

TEST(ClientLibraryTest, ALibraryWithoutTheEntryPointsGivesThePlatformsText) {
    const std::string message =
        MessageOf<DatabaseClientError>([] { ClientLibrary::Load("libm.so.6"); });
    EXPECT_EQ(message, platform::LastErrorText());
    EXPECT_NE(message.find("isc_attach_database"), std::string::npos) << message;
}

// Before the settings name another, a new link names the database where the installation keeps
// it (a standby machine without a settings file backs that one up), and it contacts nothing until
// a query or the run asks. The account it logs in with is proven where a server checks it
// (ServerTest, Win32ServerTest); its dialect by EmbeddedDialectTest.
TEST(TavixDatabaseTest, ANewLinkNamesTheInstallationsDatabaseAndContactsNothing) {
    RecordingClientLibrary recorder;
    TavixDatabase db(recorder.Library());
    EXPECT_EQ(db.DB_Tavix.DatabaseName(), "C:\\Tavix\\Sonvira\\Tavixdb\\TAVIXAUDIO.FDB");
    EXPECT_FALSE(db.DB_Tavix.Connected());
    EXPECT_FALSE(db.Trans_Tavix.InTransaction());
    EXPECT_TRUE(recorder.Calls().empty());
}

// The folder query reads what another connection (the playout system's) has committed, also after
// the run's transaction began, and never waits for, nor fails on, what it has not committed.
TEST(TavixDatabaseTest, TheFolderQueryReadsWhatOthersCommittedAndNeverWaitsForTheRest) {
    using ExecuteImmediate = decltype(&isc_dsql_execute_immediate);
    TestFolder folder;
    FirebirdTestDatabase file(folder, "VARCHAR(60)", {"C:\\Um\\"});
    TavixDatabase db;
    db.DB_Tavix.SetDatabaseName(file.EmbeddedName());
    EXPECT_EQ(ReadFolders(db), (Strings{"C:\\Um\\"}));
    ASSERT_TRUE(db.Trans_Tavix.InTransaction());  // the run's transaction stays open

    // The other connection, in this process: one server holds the file.
    const ClientLibrary& client = ClientLibrary::Process();
    void* library = dlopen(kClientLibraryName, RTLD_NOW | RTLD_NOLOAD);
    ASSERT_NE(library, nullptr);
    const auto execute =
        reinterpret_cast<ExecuteImmediate>(dlsym(library, "isc_dsql_execute_immediate"));
    ASSERT_NE(execute, nullptr);
    TavixDatabase other;
    other.DB_Tavix.SetDatabaseName(file.EmbeddedName());
    other.DB_Tavix.SetConnected(true);
    ISC_STATUS_ARRAY status{};
    struct {
        isc_db_handle* database;
        int length;
        const char* block;
    } vector{other.DB_Tavix.Handle(), 0, nullptr};
    const auto run = [&](isc_tr_handle* transaction, const char* sql) {
        return execute(status, other.DB_Tavix.Handle(), transaction, 0, sql, 1, nullptr);
    };

    isc_tr_handle committed = 0;
    ASSERT_EQ(client.isc_start_multiple(status, &committed, 1, &vector), 0);
    ASSERT_EQ(run(&committed, "INSERT INTO Tb_Pastas VALUES ('C:\\Dois\\')"), 0);
    ASSERT_EQ(client.isc_commit_transaction(status, &committed), 0);
    EXPECT_EQ(ReadFolders(db), (Strings{"C:\\Um\\", "C:\\Dois\\"}));

    isc_tr_handle pending = 0;
    ASSERT_EQ(client.isc_start_multiple(status, &pending, 1, &vector), 0);
    ASSERT_EQ(run(&pending, "UPDATE Tb_Pastas SET Pas_Path = 'C:\\Tres\\'"), 0);
    EXPECT_EQ(ReadFolders(db), (Strings{"C:\\Um\\", "C:\\Dois\\"}));
    EXPECT_TRUE(db.Trans_Tavix.InTransaction());
    client.isc_rollback_transaction(status, &pending);
}

TEST(TavixDatabaseTest, CursorNameIsAGuidMadeOncePerQuery) {
    TavixDatabase first;
    TavixDatabase second;
    const std::regex guid(
        "\\{[0-9A-F]{8}-[0-9A-F]{4}-4[0-9A-F]{3}-[89AB][0-9A-F]{3}-[0-9A-F]{12}\\}");
    EXPECT_TRUE(std::regex_match(first.QryBusca.CursorName(), guid)) << first.QryBusca.CursorName();
    EXPECT_NE(first.QryBusca.CursorName(), second.QryBusca.CursorName());
}

TEST(TavixDatabaseTest, AnEmptyDatabaseNameContactsNothing) {
    RecordingClientLibrary recorder;
    TavixDatabase db(recorder.Library());
    db.DB_Tavix.SetDatabaseName("");
    EXPECT_EQ(MessageOf<DatabaseClientError>([&] { db.DB_Tavix.SetConnected(true); }),
              "Database name is missing");
    EXPECT_FALSE(db.DB_Tavix.Connected());
    EXPECT_TRUE(recorder.Calls().empty());
}

TEST(TavixDatabaseTest, DisconnectingAClosedConnectionSendsNothing) {
    RecordingClientLibrary recorder;
    TavixDatabase db(recorder.Library());
    db.DB_Tavix.SetConnected(false);
    EXPECT_FALSE(db.DB_Tavix.Connected());
    EXPECT_TRUE(recorder.Calls().empty());
}

// --- Embedded databases ----------------------------------------------------------------------

namespace {

const std::string kPath = "C:\\Musicas\\Rock\\Pop\\";                       // 20 bytes
const std::string kForro = "\\\\SRV01\\D\\M\xC3\xBAsicas\\Forr\xC3\xB3\\";  // UTF-8
const std::string kForroCp1252 = "\\\\SRV01\\D\\M\xFAsicas\\Forr\xF3\\";
const std::string kJapan = "\\\\SRV01\\D\\\xE6\x97\xA5\xE6\x9C\xAC\\";

struct ColumnCase {
    std::string type;
    FirebirdTestDatabase::Rows rows;
    Strings expected;
};

class EmbeddedColumns : public ::testing::TestWithParam<ColumnCase> {};

}  // namespace

TEST_P(EmbeddedColumns, ReadsPasPathAsText) {
    ASSERT_EQ(kPath.size(), 20u);
    TestFolder folder;
    FirebirdTestDatabase file(folder, GetParam().type, GetParam().rows);
    TavixDatabase db;
    db.DB_Tavix.SetDatabaseName(file.EmbeddedName());
    db.DB_Tavix.SetConnected(true);
    EXPECT_EQ(ReadFolders(db), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Types, EmbeddedColumns,
    ::testing::Values(
        ColumnCase{"VARCHAR(60)", {kPath}, {kPath}},
        ColumnCase{"CHAR(60)", {kPath}, {kPath + std::string(40, ' ')}},
        ColumnCase{"VARCHAR(60)", {std::nullopt, "D:\\A\\"}, {"", "D:\\A\\"}},
        ColumnCase{"CHAR(10)", {std::nullopt}, {""}}, ColumnCase{"VARCHAR(60)", {}, {}},
        ColumnCase{"VARCHAR(60)",
                   {"C:\\Um\\", "C:\\Dois\\", "C:\\Tres\\"},
                   {"C:\\Um\\", "C:\\Dois\\", "C:\\Tres\\"}},
        // Accented texts come in UTF-8 whatever the column's character set.
        ColumnCase{"VARCHAR(60) CHARACTER SET WIN1252", {kForroCp1252}, {kForro}},
        ColumnCase{"VARCHAR(60) CHARACTER SET NONE", {kForroCp1252}, {kForro}},
        ColumnCase{"VARCHAR(60) CHARACTER SET NONE", {kForro}, {kForro}},
        ColumnCase{"VARCHAR(60) CHARACTER SET OCTETS", {kForroCp1252}, {kForro}},
        ColumnCase{"VARCHAR(60) CHARACTER SET UTF8", {kForro, kJapan}, {kForro, kJapan}},
        // Converted by the server, which Windows-1252 could not decode.
        ColumnCase{"VARCHAR(60) CHARACTER SET WIN1250",
                   {"\xA3\xF3"
                    "d\x9F"},
                   {"\xC5\x81\xC3\xB3"
                    "d\xC5\xBA"}},
        // Fixed length: as many characters as declared, whatever their bytes.
        ColumnCase{"CHAR(8) CHARACTER SET WIN1252", {"Forr\xF3"}, {"Forr\xC3\xB3   "}},
        ColumnCase{"CHAR(8) CHARACTER SET NONE", {"Forr\xF3"}, {"Forr\xC3\xB3   "}},
        ColumnCase{"CHAR(8) CHARACTER SET UTF8", {"\xE6\x97\xA5"}, {"\xE6\x97\xA5       "}}));

namespace {

// Hex of the bytes of `text`.
std::string Hex(const std::string& text) {
    std::string hex;
    for (unsigned char c : text) {
        char pair[3];
        std::snprintf(pair, sizeof pair, "%02X", c);
        hex += pair;
    }
    return hex;
}

class EmbeddedQueryTest : public ::testing::Test {
protected:
    TestFolder folder_;
    FirebirdTestDatabase file_{folder_, "VARCHAR(60)", {"C:\\Um\\", "C:\\Dois\\", "C:\\Tres\\"}};
    RecordingClientLibrary recorder_;
    TavixDatabase db_{recorder_.Library()};

    void SetUp() override { db_.DB_Tavix.SetDatabaseName(file_.EmbeddedName()); }
};

}  // namespace

TEST_F(EmbeddedQueryTest, ConnectAndDisconnectAloneStartNoTransaction) {
    db_.DB_Tavix.SetConnected(true);
    db_.DB_Tavix.SetConnected(true);  // already connected: nothing
    EXPECT_TRUE(db_.DB_Tavix.Connected());
    db_.DB_Tavix.SetConnected(false);
    db_.DB_Tavix.SetConnected(false);  // already closed: nothing
    EXPECT_FALSE(db_.DB_Tavix.Connected());
    // The connection's parameters as their block (ParameterBlockTest), sent once.
    const std::string dpb = DatabaseParameterBlock(db_.DB_Tavix.Params());
    EXPECT_EQ(recorder_.Calls(), (Strings{"isc_attach_database:" + Hex(dpb), "isc_database_info",
                                          "isc_detach_database"}));
}

TEST_F(EmbeddedQueryTest, OpeningStartsTheTransactionAndPreparesOnce) {
    db_.DB_Tavix.SetConnected(true);
    recorder_.Clear();
    EXPECT_EQ(ReadFolders(db_), (Strings{"C:\\Um\\", "C:\\Dois\\", "C:\\Tres\\"}));
    const Strings calls = recorder_.Calls();
    ASSERT_GE(calls.size(), 9u);
    EXPECT_EQ(calls[0],
              "isc_start_multiple:030F1107");  // version 3, read committed, rec version, nowait
    EXPECT_EQ(Strings(calls.begin() + 1, calls.begin() + 8),
              (Strings{"isc_dsql_alloc_statement2", "isc_dsql_prepare", "isc_dsql_sql_info",
                       "isc_dsql_describe", "isc_dsql_execute2", "isc_dsql_set_cursor_name",
                       "isc_dsql_fetch"}));
    EXPECT_TRUE(db_.Trans_Tavix.InTransaction());
    EXPECT_TRUE(db_.QryBusca.Eof());
    // Every call succeeded but the last fetch, which found the end (100); the run's query went
    // to the server as written.
    const std::vector<RecordedCall>& records = recorder_.Records();
    for (std::size_t i = 0; i + 1 < records.size(); ++i)
        EXPECT_EQ(records[i].result, 0) << records[i].entry;
    EXPECT_EQ(records.back().entry, "isc_dsql_fetch");
    EXPECT_EQ(records.back().result, 100);
    EXPECT_EQ(records[2].sql, "SELECT Pas_Path FROM Tb_Pastas");

    // Going back to the first row reads the kept rows; nothing is sent.
    recorder_.Clear();
    db_.QryBusca.First();
    EXPECT_FALSE(db_.QryBusca.Eof());
    EXPECT_EQ(db_.QryBusca.FieldAsString("PAS_PATH"), "C:\\Um\\");
    EXPECT_EQ(db_.QryBusca.FieldAsString("pas_path"), "C:\\Um\\");
    EXPECT_TRUE(recorder_.Calls().empty());
}

TEST_F(EmbeddedQueryTest, DisconnectClosesFreesCommitsAndDetachesInThisOrder) {
    db_.DB_Tavix.SetConnected(true);
    ReadFolders(db_);  // left open at its end, as the run leaves it
    recorder_.Clear();
    db_.DB_Tavix.SetConnected(false);
    EXPECT_EQ(recorder_.Names(),
              (Strings{"isc_dsql_free_statement:DSQL_close", "isc_dsql_free_statement:DSQL_drop",
                       "isc_commit_transaction", "isc_detach_database"}));
    EXPECT_FALSE(db_.DB_Tavix.Connected());
    EXPECT_FALSE(db_.Trans_Tavix.InTransaction());
    EXPECT_FALSE(db_.QryBusca.Active());
    EXPECT_FALSE(db_.QryBusca.Prepared());
    EXPECT_EQ(db_.DB_Tavix.DBSQLDialect(), 1);

    // The next opening starts a new transaction and prepares the statement again.
    db_.DB_Tavix.SetConnected(true);
    recorder_.Clear();
    db_.QryBusca.Open();
    const Strings names = recorder_.Names();
    ASSERT_GE(names.size(), 3u);
    EXPECT_EQ(Strings(names.begin(), names.begin() + 3),
              (Strings{"isc_start_multiple", "isc_dsql_alloc_statement2", "isc_dsql_prepare"}));
}

TEST_F(EmbeddedQueryTest, ClosingTheQueryKeepsTheTransactionAndTheStatement) {
    db_.DB_Tavix.SetConnected(true);
    ReadFolders(db_);
    recorder_.Clear();
    db_.QryBusca.Close();
    db_.QryBusca.Close();  // closed already: nothing
    EXPECT_EQ(recorder_.Names(), (Strings{"isc_dsql_free_statement:DSQL_close"}));
    EXPECT_TRUE(db_.Trans_Tavix.InTransaction());
    EXPECT_TRUE(db_.QryBusca.Prepared());
    // Reopening without a new text runs the prepared statement again.
    recorder_.Clear();
    db_.QryBusca.Open();
    EXPECT_EQ(recorder_.Names(),
              (Strings{"isc_dsql_execute2", "isc_dsql_set_cursor_name", "isc_dsql_fetch"}));
    EXPECT_EQ(db_.QryBusca.FieldAsString("Pas_Path"), "C:\\Um\\");
}

TEST_F(EmbeddedQueryTest, AMissingTableRaisesFreesTheStatementAndKeepsTheTransaction) {
    db_.DB_Tavix.SetConnected(true);
    db_.QryBusca.SetSQL("SELECT Pas_Path FROM Tb_Nada");
    recorder_.Clear();
    try {
        db_.QryBusca.Open();
        FAIL() << "opened";
    } catch (const DatabaseError& error) {
        EXPECT_STREQ(error.what(),
                     "Dynamic SQL Error\r\nSQL error code = -204\r\nTable unknown\r\nTB_NADA\r\n"
                     "At line 1, column 22");
        EXPECT_EQ(error.SqlCode(), -204);
        EXPECT_EQ(error.ErrorCode(), 335544569);  // isc_dsql_error
    }
    EXPECT_EQ(recorder_.Names(),
              (Strings{"isc_start_multiple", "isc_dsql_alloc_statement2", "isc_dsql_prepare",
                       "isc_dsql_free_statement:DSQL_drop"}));
    EXPECT_FALSE(db_.QryBusca.Prepared());
    EXPECT_FALSE(db_.QryBusca.Active());
    EXPECT_TRUE(db_.Trans_Tavix.InTransaction());
    EXPECT_TRUE(db_.DB_Tavix.Connected());

    // The same transaction goes on serving the right text.
    recorder_.Clear();
    EXPECT_EQ(ReadFolders(db_).size(), 3u);
    EXPECT_EQ(recorder_.Names().at(0), "isc_dsql_alloc_statement2");
}

TEST_F(EmbeddedQueryTest, AnAccountWithoutRightsGetsThePermissionKind) {
    // Embedded connections take the user name as given; this one has no rights on the table.
    db_.DB_Tavix.SetParams({"user_name=NINGUEM", "password=x"});
    db_.DB_Tavix.SetConnected(true);
    db_.QryBusca.SetSQL("SELECT Pas_Path FROM Tb_Pastas");
    try {
        db_.QryBusca.Open();
        FAIL() << "opened";
    } catch (const DatabasePermissionError& error) {
        EXPECT_STREQ(error.what(), "no permission for SELECT access to TABLE TB_PASTAS");
        EXPECT_EQ(error.SqlCode(), -551);
        EXPECT_EQ(error.ErrorCode(), 335544352);  // isc_no_priv
    }
    EXPECT_FALSE(db_.QryBusca.Prepared());
    EXPECT_TRUE(db_.Trans_Tavix.InTransaction());
}

TEST_F(EmbeddedQueryTest, ClientErrorsOfTheQuery) {
    db_.DB_Tavix.SetConnected(true);
    for (const char* sql : {"", "   "}) {
        db_.QryBusca.SetSQL(sql);
        EXPECT_EQ(MessageOf<DatabaseClientError>([&] { db_.QryBusca.Open(); }),
                  "Empty SQL Statement");
    }
    db_.QryBusca.SetSQL("SELECT Pas_Path FROM Tb_Pastas");
    db_.QryBusca.Open();
    EXPECT_EQ(MessageOf<DatabaseClientError>([&] { db_.QryBusca.FieldAsString("Pas_Nome"); }),
              "QryBusca: Field 'Pas_Nome' not found");
}

TEST_F(EmbeddedQueryTest, DatabaseNameIsRefusedWhileConnected) {
    db_.DB_Tavix.SetConnected(true);
    db_.DB_Tavix.SetDatabaseName(file_.EmbeddedName());  // the same value: nothing
    EXPECT_EQ(MessageOf<DatabaseClientError>(
                  [&] { db_.DB_Tavix.SetDatabaseName(folder_.Path("OUTRO.FDB")); }),
              "Cannot perform operation -- DB is currently open");
    EXPECT_EQ(db_.DB_Tavix.DatabaseName(), file_.EmbeddedName());
    EXPECT_TRUE(db_.DB_Tavix.Connected());
    db_.DB_Tavix.SetConnected(false);
    db_.DB_Tavix.SetDatabaseName(folder_.Path("OUTRO.FDB"));
    EXPECT_EQ(db_.DB_Tavix.DatabaseName(), folder_.Path("OUTRO.FDB"));
}

TEST_F(EmbeddedQueryTest, AMissingFileGivesTheLibrarysTextAndStaysClosed) {
    db_.DB_Tavix.SetDatabaseName(folder_.Path("NADA.FDB"));
    try {
        db_.DB_Tavix.SetConnected(true);
        FAIL() << "connected";
    } catch (const DatabaseError& error) {
        EXPECT_EQ(std::string(error.what()),
                  "I/O error during \"open\" operation for file \"" + folder_.Path("NADA.FDB") +
                      "\"\r\nError while trying to open file\r\nNo such file or directory");
        EXPECT_EQ(error.SqlCode(), -902);
        EXPECT_EQ(error.ErrorCode(), 335544344);  // isc_io_error
    }
    EXPECT_FALSE(db_.DB_Tavix.Connected());
    ASSERT_EQ(recorder_.Records().size(), 1u);  // the failed attach, and nothing after it
    EXPECT_EQ(recorder_.Records()[0].result, 335544344);
}

TEST_F(EmbeddedQueryTest, ADescriptorTooSmallIsEnlargedAndDescribedAgain) {
    db_.DB_Tavix.SetConnected(true);
    db_.QryBusca.SetSQL("SELECT Pas_Path, Pas_Path AS Copia, 7 AS Numero FROM Tb_Pastas");
    recorder_.Clear();
    db_.QryBusca.Open();
    const Strings names = recorder_.Names();
    EXPECT_EQ(std::count(names.begin(), names.end(), "isc_dsql_describe"), 2);
    EXPECT_EQ(db_.QryBusca.FieldCount(), 3);
    EXPECT_EQ(db_.QryBusca.FieldName(1), "COPIA");
    EXPECT_EQ(db_.QryBusca.FieldAsString("Copia"), "C:\\Um\\");
    EXPECT_EQ(db_.QryBusca.FieldAsString("Numero"), "7");
}

TEST_F(EmbeddedQueryTest, DestroyingTheObjectsCommitsAndDetaches) {
    {
        TavixDatabase db(recorder_.Library());
        db.DB_Tavix.SetDatabaseName(file_.EmbeddedName());
        db.DB_Tavix.SetConnected(true);
        db.QryBusca.SetSQL("SELECT Pas_Path FROM Tb_Pastas");
        db.QryBusca.Open();
        recorder_.Clear();
    }
    EXPECT_EQ(recorder_.Names(),
              (Strings{"isc_dsql_free_statement:DSQL_close", "isc_dsql_free_statement:DSQL_drop",
                       "isc_commit_transaction", "isc_detach_database"}));
}

TEST(EmbeddedDialectTest, ADialect3DatabaseIsUsedInDialect1) {
    TestFolder folder;
    FirebirdTestDatabase file(folder, "VARCHAR(60)", {"C:\\Um\\"}, 3);
    TavixDatabase db;
    db.DB_Tavix.SetDatabaseName(file.EmbeddedName());
    db.DB_Tavix.SetConnected(true);
    EXPECT_EQ(db.DB_Tavix.DBSQLDialect(), 3);
    EXPECT_EQ(db.DB_Tavix.SQLDialect(), 1);
    EXPECT_EQ(ReadFolders(db), (Strings{"C:\\Um\\"}));
    // Double quotes delimit text in dialect 1 (a name in dialect 3).
    db.QryBusca.SetSQL("SELECT \"dialeto um\" AS Marca FROM Tb_Pastas");
    db.QryBusca.Open();
    EXPECT_EQ(db.QryBusca.FieldAsString("Marca"), "dialeto um");
}

TEST(EmbeddedValuesTest, OtherColumnTypesAsText) {
    TestFolder folder;
    FirebirdTestDatabase file(folder, "VARCHAR(60)", {});
    TavixDatabase db;
    db.DB_Tavix.SetDatabaseName(file.EmbeddedName());
    db.DB_Tavix.SetConnected(true);
    db.QryBusca.SetSQL(
        "SELECT 'AB' || ASCII_CHAR(0) || 'CD' AS Zero, CAST('A' AS CHAR(3)) AS Curto, "
        "CAST(-12.5 AS NUMERIC(9,2)) AS Numero, CAST(-3 AS SMALLINT) AS Pequeno, "
        "CAST(0.25 AS DOUBLE PRECISION) AS Duplo, CAST('2024-02-29 13:45:07' AS DATE) AS Quando, "
        "CAST(NULL AS INTEGER) AS Nada FROM RDB$DATABASE");
    db.QryBusca.Open();
    const std::vector<std::pair<std::string, std::string>> expected = {
        {"Zero", "AB"},    {"Curto", "A  "},  {"Numero", "-12.50"},
        {"Pequeno", "-3"}, {"Duplo", "0.25"}, {"Quando", "2024-02-29 13:45:07"},
        {"Nada", ""}};
    for (const auto& [column, text] : expected)
        EXPECT_EQ(db.QryBusca.FieldAsString(column), text) << column;
}

TEST(EmbeddedObjectsTest, TheConnectionMayGoBeforeItsQueryAndTransaction) {
    TestFolder folder;
    FirebirdTestDatabase file(folder, "VARCHAR(60)", {"C:\\Um\\"});
    auto transaction = std::make_unique<FbTransaction>();
    auto query = std::make_unique<FbQuery>();
    auto database = std::make_unique<FbDatabase>();
    database->SetDatabaseName(file.EmbeddedName());
    database->SetParams(TavixDatabaseParams());
    transaction->SetDefaultDatabase(database.get());
    query->SetDatabase(database.get());
    query->SetTransaction(transaction.get());
    query->SetSQL("SELECT Pas_Path FROM Tb_Pastas");
    query->Open();
    EXPECT_EQ(query->FieldAsString("Pas_Path"), "C:\\Um\\");

    database.reset();  // disconnects: the query is closed, the transaction committed
    EXPECT_EQ(query->Database(), nullptr);
    EXPECT_EQ(transaction->DefaultDatabase(), nullptr);
    EXPECT_FALSE(query->Active());
    EXPECT_FALSE(query->Prepared());
    EXPECT_FALSE(transaction->InTransaction());
    transaction.reset();
    EXPECT_EQ(query->Transaction(), nullptr);
}
