// The database link on real embedded databases (no server): the client library opens the file
// in this process.

#include <gtest/gtest.h>

#include <regex>

#include "database/ClientLibrary.h"
#include "database/Errors.h"
#include "database/RecordingClientLibrary.h"
#include "database/TavixDatabase.h"
#include "platform/Platform.h"
#include "support/FirebirdTestDatabase.h"
#include "support/TestFolder.h"

namespace {

using Strings = std::vector<std::string>;

// Opens the run's folder query and reads every row's Pas_Path, as the backup run does.
Strings ReadFolders(TavixDatabase& db) {
    db.QryBusca.Close();
    db.QryBusca.SetSQL("SELECT Pas_Path FROM Tb_Pastas");
    db.QryBusca.Open();
    db.QryBusca.First();
    Strings folders;
    while (!db.QryBusca.Eof()) {
        folders.push_back(db.QryBusca.FieldAsString("Pas_Path"));
        db.QryBusca.Next();
    }
    return folders;
}

template <typename Error>
std::string MessageOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const Error& error) {
        return error.what();
    }
    ADD_FAILURE() << "no error raised";
    return {};
}

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

TEST(TavixDatabaseTest, CarriesTheWindowsDesignSettings) {
    TavixDatabase db;
    EXPECT_EQ(db.DB_Tavix.DatabaseName(), "C:\\Tavix\\Sonvira\\Tavixdb\\TAVIXAUDIO.FDB");
    EXPECT_EQ(db.DB_Tavix.Params(), (Strings{"user_name=SYSDBA", "password=plumcider"}));
    EXPECT_EQ(db.DB_Tavix.SQLDialect(), 1);
    EXPECT_FALSE(db.DB_Tavix.Connected());
    EXPECT_EQ(db.Trans_Tavix.DefaultDatabase(), &db.DB_Tavix);
    EXPECT_EQ(db.Trans_Tavix.Params(), (Strings{"read_committed", "rec_version", "nowait"}));
    EXPECT_EQ(db.QryBusca.Database(), &db.DB_Tavix);
    EXPECT_EQ(db.QryBusca.Transaction(), &db.Trans_Tavix);
    EXPECT_EQ(db.QryBusca.SQL(), "");
}

TEST(TavixDatabaseTest, CursorNameIsAGuidMadeOncePerQuery) {
    TavixDatabase first;
    TavixDatabase second;
    const std::regex guid("\\{[0-9A-F]{8}-[0-9A-F]{4}-4[0-9A-F]{3}-[89AB][0-9A-F]{3}-[0-9A-F]{12}\\}");
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
