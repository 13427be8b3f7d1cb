#include "database/TavixDatabase.h"

TavixDatabase::TavixDatabase() : TavixDatabase(ClientLibrary::Process()) {}

TavixDatabase::TavixDatabase(const ClientLibrary& client)
    : DB_Tavix(client), QryBusca(client), Trans_Tavix(client) {
    DB_Tavix.SetDatabaseName(kDefaultDatabaseName);
    DB_Tavix.SetParams(TavixDatabaseParams());
    Trans_Tavix.SetDefaultDatabase(&DB_Tavix);
    Trans_Tavix.SetParams({"read_committed", "rec_version", "nowait"});
    QryBusca.SetName("QryBusca");
    QryBusca.SetDatabase(&DB_Tavix);
    QryBusca.SetTransaction(&Trans_Tavix);
}

std::vector<std::string> TavixDatabaseParams() {
#ifdef _WIN32
    return {"user_name=SYSDBA", "password=plumcider", "connect_timeout=30"};
#else
    return {"user_name=SYSDBA", "password=plumcider", "connect_timeout=30", "lc_ctype=UTF8"};
#endif
}
