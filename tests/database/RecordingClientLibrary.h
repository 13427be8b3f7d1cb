#pragma once
// A layer over the real client library: each call of the entry points that reach the database
// is written down, with the detail a test needs, and passed on unchanged to the real entry
// point. Hand Library() to the database objects in place of the process's table.
//
//   isc_attach_database:<parameter block in hex>   isc_start_multiple:<parameter block in hex>
//   isc_dsql_free_statement:DSQL_close             isc_dsql_free_statement:DSQL_drop
//   any other entry point: its name alone
//
// One recorder at a time per process.

#include <string>
#include <vector>

#include "database/ClientLibrary.h"

class RecordingClientLibrary {
public:
    RecordingClientLibrary();
    ~RecordingClientLibrary();
    RecordingClientLibrary(const RecordingClientLibrary&) = delete;
    RecordingClientLibrary& operator=(const RecordingClientLibrary&) = delete;

    const ClientLibrary& Library() const { return library_; }
    // The calls so far, and the same without the parameter blocks.
    const std::vector<std::string>& Calls() const;
    std::vector<std::string> Names() const;
    void Clear();

private:
    ClientLibrary library_;
};
