#pragma once
// The connection to one Firebird database through the client library's classic interface.

#include <ibase.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "database/CallWatch.h"
#include "database/ClientLibrary.h"
#include "database/StatusVector.h"

class FbTransaction;
class FbQuery;

// The database parameter block of `params` ("name=value" lines): isc_dpb_version1, then one
// item per line, in their order. Throws DatabaseClientError for an unknown name, a value longer
// than 255 bytes or a number item whose value is no number.
std::string DatabaseParameterBlock(const std::vector<std::string>& params);

class FbDatabase {
public:
    // Creating the first object loads the client library (ClientLibrary::Process()).
    explicit FbDatabase(const ClientLibrary& client = ClientLibrary::Process());
    // Disconnects when connected, and closes by force when that fails; reports nothing.
    ~FbDatabase();
    FbDatabase(const FbDatabase&) = delete;
    FbDatabase& operator=(const FbDatabase&) = delete;

    std::string DatabaseName() const { return databaseName_; }
    // The same value does nothing; another one while connected is refused.
    void SetDatabaseName(const std::string& name);

    // One "name=value" item of the database parameter block per line: user_name, password,
    // connect_timeout (seconds a server may take to answer the connect), lc_ctype (the character
    // set the server gives texts in).
    const std::vector<std::string>& Params() const { return params_; }
    void SetParams(std::vector<std::string> params);

    // The dialect the link speaks (1) and the database's own, as last asked (1 when closed).
    int SQLDialect() const { return sqlDialect_; }
    int DBSQLDialect() const { return dbSqlDialect_; }

    // Connected exactly while a database handle is held. Setting the value the connection
    // already has does nothing at all. A connect that a server left unanswered until the
    // connect time-out of Params ends with the client's text and "o servidor não respondeu em
    // N s"; so does any other call on the connection that the server leaves unanswered that long
    // (WatchCalls).
    bool Connected() const { return handle_ != 0; }
    void SetConnected(bool connected);

    // Asks the server something cheap (the database's dialect). Raises when it does not answer;
    // a lost connection is closed by force first.
    void CheckConnection();

    // Closes the query, ends the transaction in forced mode and tries the detach, ignoring
    // every error on the way; the connection reads as not connected afterwards.
    void ForceClose();

    // For the transaction and the query of this connection.
    const ClientLibrary& Client() const { return client_; }
    isc_db_handle* Handle() { return &handle_; }
    void Attach(FbTransaction* transaction);
    void Detach(FbTransaction* transaction);
    void Attach(FbQuery* query);
    void Detach(FbQuery* query);
    // Raises the error of a failed call; a lost connection closes by force first.
    [[noreturn]] void RaiseCheckingConnection(const ISC_STATUS* status);
    // Raises what a failed call on this connection left behind, saying that the server did not
    // answer when the call was cut off for it.
    [[noreturn]] void Raise(StatusReport report) const;
    // The calls on the connection made while the result lives are cut off once the server has
    // left them unanswered for the connect time-out of Params (CallWatch.h).
    CallWatch::Watched WatchCalls();

private:
    void Connect();
    void Disconnect();
    void AskDialect();
    const std::string& ParameterBlock();

    const ClientLibrary& client_;
    std::string databaseName_;
    std::vector<std::string> params_;
    std::string parameterBlock_;
    bool parameterBlockBuilt_ = false;
    std::optional<std::uint32_t> connectTimeout_;  // seconds, from Params
    int sqlDialect_ = 1;
    int dbSqlDialect_ = 1;
    isc_db_handle handle_ = 0;
    CallWatch watch_;
    std::vector<FbTransaction*> transactions_;
    std::vector<FbQuery*> queries_;
};
