#include "database/FbQuery.h"

#include <algorithm>
#include <cctype>
#include <optional>
#include <utility>

#include "database/ColumnText.h"
#include "database/Errors.h"
#include "database/FbDatabase.h"
#include "database/FbTransaction.h"
#include "database/Guid.h"
#include "database/StatusVector.h"

namespace {

constexpr ISC_STATUS kEndOfCursor = 100;

bool SameName(const std::string& a, const std::string& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::toupper(static_cast<unsigned char>(x)) ==
               std::toupper(static_cast<unsigned char>(y));
    });
}

bool Blank(const std::string& text) {
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) <= ' '; });
}

}  // namespace

FbQuery::FbQuery(const ClientLibrary& client) : client_(client), cursorName_(NewGuidText()) {}

FbQuery::~FbQuery() {
    ReleaseQuietly();
    SetTransaction(nullptr);
    SetDatabase(nullptr);
}

void FbQuery::SetDatabase(FbDatabase* database) {
    if (database == database_) return;
    if (database_) database_->Detach(this);
    database_ = database;
    if (database_) database_->Attach(this);
}

void FbQuery::SetTransaction(FbTransaction* transaction) {
    if (transaction == transaction_) return;
    if (transaction_) transaction_->Detach(this);
    transaction_ = transaction;
    if (transaction_) transaction_->Attach(this);
}

void FbQuery::SetSQL(const std::string& sql) {
    Close();
    FreeStatement();
    sql_ = sql;
}

void FbQuery::Open() {
    if (active_) return;
    if (!database_) throw DatabaseClientError(name_ + ": Database not assigned");
    if (!transaction_) throw DatabaseClientError(name_ + ": Transaction not assigned");
    database_->SetConnected(true);
    const auto watched = database_->WatchCalls();
    if (!transaction_->InTransaction()) transaction_->StartTransaction();
    if (!Prepared()) Prepare();
    columns_.clear();
    for (int i = 0; output_ && i < output_->sqld; ++i) {
        const XSQLVAR& column = output_->sqlvar[i];
        columns_.emplace_back(column.aliasname, static_cast<std::size_t>(column.aliasname_length));
    }
    Execute();
    active_ = true;
    rows_.clear();
    current_ = 0;
    eof_ = false;
    eof_ = !FetchRow();
}

void FbQuery::Prepare() {
    if (Blank(sql_)) throw DatabaseClientError("Empty SQL Statement");
    const int dialect = database_->SQLDialect();
    ISC_STATUS* status = ThreadStatus();
    if (client_.isc_dsql_alloc_statement2(status, database_->Handle(), &statement_))
        FailPreparing(status);
    if (client_.isc_dsql_prepare(status, transaction_->Handle(), &statement_, 0, sql_.c_str(),
                                 static_cast<unsigned short>(dialect), nullptr))
        FailPreparing(status);

    const char item = isc_info_sql_stmt_type;
    char answer[8] = {};
    if (client_.isc_dsql_sql_info(status, &statement_, 1, &item, sizeof answer, answer))
        FailPreparing(status);
    if (answer[0] != isc_info_sql_stmt_type) {
        ReleaseQuietly();
        throw DatabaseClientError("Unknown error");
    }
    const auto length = static_cast<short>(client_.isc_vax_integer(answer + 1, 2));
    const auto type = client_.isc_vax_integer(answer + 3, length);
    if (type == isc_info_sql_stmt_select) Describe();
}

void FbQuery::Describe() {
    const auto dialect = static_cast<unsigned short>(database_->SQLDialect());
    const auto allocate = [](int columns) {
        Descriptor descriptor(static_cast<XSQLDA*>(std::calloc(1, XSQLDA_LENGTH(columns))));
        if (!descriptor) throw std::bad_alloc();
        descriptor->version = SQLDA_VERSION1;
        descriptor->sqln = static_cast<ISC_SHORT>(columns);
        return descriptor;
    };
    ISC_STATUS* status = ThreadStatus();
    output_ = allocate(1);
    if (client_.isc_dsql_describe(status, &statement_, dialect, output_.get()))
        FailPreparing(status);
    if (output_->sqld > output_->sqln) {
        output_ = allocate(output_->sqld);
        if (client_.isc_dsql_describe(status, &statement_, dialect, output_.get()))
            FailPreparing(status);
    }
    const auto count = static_cast<std::size_t>(output_->sqld);
    buffers_.assign(count, {});
    indicators_.assign(count, 0);
    for (std::size_t i = 0; i < count; ++i) {
        XSQLVAR& column = output_->sqlvar[i];
        const bool varying = (column.sqltype & ~1) == SQL_VARYING;
        buffers_[i].assign(static_cast<std::size_t>(column.sqllen) + (varying ? 2 : 0), '\0');
        column.sqldata = buffers_[i].data();
        column.sqlind = &indicators_[i];
    }
}

void FbQuery::Execute() {
    const auto dialect = static_cast<unsigned short>(database_->SQLDialect());
    ISC_STATUS* status = ThreadStatus();
    if (client_.isc_dsql_execute2(status, transaction_->Handle(), &statement_, dialect, nullptr,
                                  nullptr))
        FailPreparing(status);
    if (client_.isc_dsql_set_cursor_name(status, &statement_, cursorName_.c_str(), 0))
        FailPreparing(status);
    cursorOpen_ = true;
}

void FbQuery::FailPreparing(const ISC_STATUS* status) {
    StatusReport report = ReadStatus(client_, status);
    const bool lost = LostConnection(status);
    // The statement goes; the transaction stays active.
    ReleaseQuietly();
    if (lost) database_->ForceClose();
    database_->Raise(std::move(report));
}

bool FbQuery::FetchRow() {
    if (!cursorOpen_) return false;
    ISC_STATUS* status = ThreadStatus();
    const ISC_STATUS result = client_.isc_dsql_fetch(
        status, &statement_, static_cast<unsigned short>(database_->SQLDialect()), output_.get());
    if (result == kEndOfCursor) return false;
    if (result) {
        if (StatusHolds(status, isc_dsql_cursor_err)) return false;
        StatusReport report = ReadStatus(client_, status);
        cursorOpen_ = false;
        eof_ = true;
        client_.isc_dsql_free_statement(ThreadStatus(), &statement_, DSQL_close);
        database_->Raise(std::move(report));
    }
    std::vector<std::string> row;
    row.reserve(static_cast<std::size_t>(output_->sqld));
    for (int i = 0; i < output_->sqld; ++i) row.push_back(ColumnText(output_->sqlvar[i]));
    rows_.push_back(std::move(row));
    return true;
}

void FbQuery::Close() {
    if (!active_) return;
    active_ = false;
    eof_ = true;
    rows_.clear();
    columns_.clear();
    current_ = 0;
    if (!cursorOpen_) return;
    cursorOpen_ = false;
    std::optional<CallWatch::Watched> watched;
    if (database_) watched.emplace(database_->WatchCalls());
    ISC_STATUS* status = ThreadStatus();
    if (!client_.isc_dsql_free_statement(status, &statement_, DSQL_close)) return;
    const ISC_STATUS code = FirstErrorCode(status);
    if (code == isc_bad_stmt_handle || code == isc_dsql_cursor_close_err) return;
    if (database_) database_->RaiseCheckingConnection(status);
    RaiseDatabaseError(client_, status);
}

void FbQuery::FreeStatement() {
    if (!statement_) return;
    ISC_STATUS* status = ThreadStatus();
    const ISC_STATUS result = client_.isc_dsql_free_statement(status, &statement_, DSQL_drop);
    statement_ = 0;
    output_.reset();
    buffers_.clear();
    indicators_.clear();
    if (!result) return;
    if (FirstErrorCode(status) == isc_bad_stmt_handle || LostConnection(status)) return;
    RaiseDatabaseError(client_, status);
}

void FbQuery::ReleaseQuietly() {
    ISC_STATUS* status = ThreadStatus();
    if (cursorOpen_) client_.isc_dsql_free_statement(status, &statement_, DSQL_close);
    if (statement_) client_.isc_dsql_free_statement(status, &statement_, DSQL_drop);
    cursorOpen_ = false;
    statement_ = 0;
    active_ = false;
    eof_ = true;
    rows_.clear();
    columns_.clear();
    current_ = 0;
    output_.reset();
    buffers_.clear();
    indicators_.clear();
}

void FbQuery::First() {
    if (!active_)
        throw DatabaseClientError(name_ + ": Cannot perform this operation on a closed dataset");
    current_ = 0;
    eof_ = rows_.empty();
}

void FbQuery::Next() {
    if (!active_)
        throw DatabaseClientError(name_ + ": Cannot perform this operation on a closed dataset");
    if (eof_) return;
    if (current_ + 1 < rows_.size()) {
        ++current_;
    } else if (const auto watched = database_->WatchCalls(); FetchRow()) {
        ++current_;
    } else {
        eof_ = true;
    }
}

std::string FbQuery::FieldAsString(const std::string& name) const {
    const auto column = std::find_if(columns_.begin(), columns_.end(),
                                     [&](const std::string& c) { return SameName(c, name); });
    if (column == columns_.end())
        throw DatabaseClientError(name_ + ": Field '" + name + "' not found");
    if (rows_.empty()) return {};
    return rows_[current_][static_cast<std::size_t>(column - columns_.begin())];
}
