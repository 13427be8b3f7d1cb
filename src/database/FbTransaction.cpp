#include "database/FbTransaction.h"

#include <algorithm>
#include <utility>

#include "database/Errors.h"
#include "database/FbDatabase.h"
#include "database/FbQuery.h"
#include "database/StatusVector.h"

namespace {

// The start vector's entry for one database, laid out as the client library reads it.
struct TransactionExistenceBlock {
    isc_db_handle* database;
    int parameterBlockLength;
    const char* parameterBlock;
};

struct TpbItem {
    const char* name;
    char item;
};

constexpr TpbItem kTpbItems[] = {
    {"consistency", isc_tpb_consistency},
    {"concurrency", isc_tpb_concurrency},
    {"wait", isc_tpb_wait},
    {"nowait", isc_tpb_nowait},
    {"read", isc_tpb_read},
    {"write", isc_tpb_write},
    {"read_committed", isc_tpb_read_committed},
    {"rec_version", isc_tpb_rec_version},
    {"no_rec_version", isc_tpb_no_rec_version},
    {"no_auto_undo", isc_tpb_no_auto_undo},
};

}  // namespace

FbTransaction::FbTransaction(const ClientLibrary& client) : client_(client) {}

FbTransaction::~FbTransaction() {
    EndForced();
    for (FbQuery* query : std::vector(queries_)) query->SetTransaction(nullptr);  // they let go
    if (database_) database_->Detach(this);
}

void FbTransaction::SetDefaultDatabase(FbDatabase* database) {
    if (database == database_) return;
    if (database_) database_->Detach(this);
    database_ = database;
    if (database_) database_->Attach(this);
}

void FbTransaction::SetParams(std::vector<std::string> params) {
    params_ = std::move(params);
    parameterBlockBuilt_ = false;
}

const std::string& FbTransaction::ParameterBlock() {
    if (parameterBlockBuilt_) return parameterBlock_;
    std::string block(1, static_cast<char>(isc_tpb_version3));
    for (const std::string& line : params_) {
        const auto known = std::find_if(std::begin(kTpbItems), std::end(kTpbItems),
                                        [&](const TpbItem& item) { return line == item.name; });
        if (known == std::end(kTpbItems))
            throw DatabaseClientError("Unknown transaction parameter: " + line);
        block += known->item;
    }
    parameterBlock_ = std::move(block);
    parameterBlockBuilt_ = true;
    return parameterBlock_;
}

void FbTransaction::StartTransaction() {
    if (!database_) throw DatabaseClientError("Transaction has no database");
    const std::string& block = ParameterBlock();
    TransactionExistenceBlock vector{database_->Handle(), static_cast<int>(block.size()),
                                     block.data()};
    ISC_STATUS* status = ThreadStatus();
    if (client_.isc_start_multiple(status, &handle_, 1, &vector)) {
        handle_ = 0;
        database_->RaiseCheckingConnection(status);
    }
}

void FbTransaction::EndForced() {
    for (FbQuery* query : queries_) query->ReleaseQuietly();
    if (!handle_) return;
    ISC_STATUS* status = ThreadStatus();
    if (client_.isc_commit_transaction(status, &handle_))
        client_.isc_rollback_transaction(status, &handle_);
    handle_ = 0;
}

void FbTransaction::Attach(FbQuery* query) { queries_.push_back(query); }

void FbTransaction::Detach(FbQuery* query) { std::erase(queries_, query); }
