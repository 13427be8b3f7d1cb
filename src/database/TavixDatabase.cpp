#include "database/TavixDatabase.h"

TavixDatabase::TavixDatabase() : TavixDatabase(ClientLibrary::Process()) {}

TavixDatabase::TavixDatabase(const ClientLibrary& client)
    : DB_Tavix(client), QryBusca(client), Trans_Tavix(client) {
    DB_Tavix.SetDatabaseName(kDefaultDatabaseName);
    DB_Tavix.SetParams({"user_name=SYSDBA", "password=plumcider"});
    Trans_Tavix.SetDefaultDatabase(&DB_Tavix);
    Trans_Tavix.SetParams({"read_committed", "rec_version", "nowait"});
    QryBusca.SetName("QryBusca");
    QryBusca.SetDatabase(&DB_Tavix);
    QryBusca.SetTransaction(&Trans_Tavix);
}
