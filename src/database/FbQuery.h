#pragma once
// A SELECT on one connection and transaction, read row by row as text. Rows fetched so far are
// kept, so going back to the first row does not run the statement again.

#include <ibase.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "database/ClientLibrary.h"

class FbDatabase;
class FbTransaction;

class FbQuery {
public:
    explicit FbQuery(const ClientLibrary& client = ClientLibrary::Process());
    // Closes the cursor and frees the statement, ignoring errors.
    ~FbQuery();
    FbQuery(const FbQuery&) = delete;
    FbQuery& operator=(const FbQuery&) = delete;

    // The name that the "Field not found" error begins with.
    std::string Name() const { return name_; }
    void SetName(std::string name) { name_ = std::move(name); }

    FbDatabase* Database() const { return database_; }
    void SetDatabase(FbDatabase* database);
    FbTransaction* Transaction() const { return transaction_; }
    void SetTransaction(FbTransaction* transaction);

    std::string SQL() const { return sql_; }
    // Closes the query and drops its prepared statement: the next opening prepares anew.
    void SetSQL(const std::string& sql);

    // Connects and starts the transaction when needed, prepares the statement when needed,
    // runs it and stands on the first row (or at the end at once when there is none).
    void Open();
    // Closes the cursor. Closing a closed query does nothing.
    void Close();
    bool Active() const { return active_; }
    bool Prepared() const { return statement_ != 0; }

    void First();
    // Moves to the next row, fetching it when it has not been fetched yet. At the end, the
    // query stays on its last row. A failing fetch closes the cursor and raises; the query
    // then reads as at its end.
    void Next();
    bool Eof() const { return eof_; }

    // The current row's value of the column `name` (letter case ignored), as text; see
    // ColumnText.h. Makes no call to the client library. Empty when the query has no rows.
    std::string FieldAsString(const std::string& name) const;
    int FieldCount() const { return static_cast<int>(columns_.size()); }
    std::string FieldName(int index) const { return columns_.at(static_cast<std::size_t>(index)); }

    // The name given to the cursor, made once per query object.
    const std::string& CursorName() const { return cursorName_; }

    // For the connection and the transaction: drop the statement (raising unless the statement
    // or the connection is gone already), and release everything ignoring errors.
    void FreeStatement();
    void ReleaseQuietly();

private:
    struct FreeDescriptor {
        void operator()(XSQLDA* descriptor) const { std::free(descriptor); }
    };
    using Descriptor = std::unique_ptr<XSQLDA, FreeDescriptor>;

    void Prepare();
    void Describe();
    void Execute();
    bool FetchRow();
    [[noreturn]] void FailPreparing(const ISC_STATUS* status);

    const ClientLibrary& client_;
    std::string name_;
    FbDatabase* database_ = nullptr;
    FbTransaction* transaction_ = nullptr;
    std::string sql_;
    const std::string cursorName_;

    isc_stmt_handle statement_ = 0;
    bool cursorOpen_ = false;
    bool active_ = false;
    bool eof_ = true;
    Descriptor output_;
    std::vector<std::vector<char>> buffers_;
    std::vector<ISC_SHORT> indicators_;
    std::vector<std::string> columns_;
    std::vector<std::vector<std::string>> rows_;
    std::size_t current_ = 0;
};
