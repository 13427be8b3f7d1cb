#pragma once
// One transaction on one database, started when a query needs it and ended, by commit in forced
// mode, only when the connection closes or the object goes.

#include <ibase.h>

#include <string>
#include <vector>

#include "database/ClientLibrary.h"

class FbDatabase;
class FbQuery;

class FbTransaction {
public:
    explicit FbTransaction(const ClientLibrary& client = ClientLibrary::Process());
    // Ends an active transaction in forced mode; reports nothing.
    ~FbTransaction();
    FbTransaction(const FbTransaction&) = delete;
    FbTransaction& operator=(const FbTransaction&) = delete;

    FbDatabase* DefaultDatabase() const { return database_; }
    void SetDefaultDatabase(FbDatabase* database);

    // One item of the transaction parameter block per line: read_committed, rec_version,
    // nowait (and the other usual names: concurrency, consistency, read, write, wait, ...).
    const std::vector<std::string>& Params() const { return params_; }
    void SetParams(std::vector<std::string> params);

    bool InTransaction() const { return handle_ != 0; }
    // isc_start_multiple on the default database; raises when it fails.
    void StartTransaction();
    // Commit; when that fails, rollback; the transaction is inactive afterwards whatever
    // happened, and nothing is raised. The statements of its queries are dropped first.
    void EndForced();

    isc_tr_handle* Handle() { return &handle_; }
    void Attach(FbQuery* query);
    void Detach(FbQuery* query);

private:
    const std::string& ParameterBlock();

    const ClientLibrary& client_;
    FbDatabase* database_ = nullptr;
    std::vector<std::string> params_;
    std::string parameterBlock_;
    bool parameterBlockBuilt_ = false;
    isc_tr_handle handle_ = 0;
    std::vector<FbQuery*> queries_;
};
