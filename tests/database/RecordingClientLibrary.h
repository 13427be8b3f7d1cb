#pragma once
// A layer over the real client library: each call of the entry points that reach the database
// is written down, with the detail a test needs, and passed on unchanged to the real entry
// point. Hand Library() to the database objects in place of the process's table.
//
//   isc_attach_database:<parameter block in hex>   isc_start_multiple:<parameter block in hex>
//   isc_dsql_free_statement:DSQL_close             isc_dsql_free_statement:DSQL_drop
//   any other entry point: its name alone
// Each call's result code (ISC_STATUS: 0 for success, or the failure's code; isc_dsql_fetch's
// 100 at the end) and, for isc_dsql_prepare, its SQL text are kept beside it.
//
// One recorder at a time per process.

#include <string>
#include <vector>

#include "database/ClientLibrary.h"

struct RecordedCall {
    std::string entry;  // as Calls() gives it
    ISC_STATUS result = 0;
    std::string sql;  // the statement text of isc_dsql_prepare
};

class RecordingClientLibrary {
public:
    RecordingClientLibrary();
    ~RecordingClientLibrary();
    RecordingClientLibrary(const RecordingClientLibrary&) = delete;
    RecordingClientLibrary& operator=(const RecordingClientLibrary&) = delete;

    const ClientLibrary& Library() const { return library_; }
    // The calls so far, and the same without the parameter blocks.
    std::vector<std::string> Calls() const;
    std::vector<std::string> Names() const;
    const std::vector<RecordedCall>& Records() const;
    void Clear();

private:
    ClientLibrary library_;
};
