#pragma once
// The client library's status vector: one per thread, handed to every call as its first
// argument, and turned into an exception when a call fails.

#include <ibase.h>

#include <string>

struct ClientLibrary;

// The status vector of the calling thread.
ISC_STATUS* ThreadStatus();

// The first error code (0 when the vector reports success).
ISC_STATUS FirstErrorCode(const ISC_STATUS* status);

// Whether `code` is among the error codes of the vector, wherever it stands.
bool StatusHolds(const ISC_STATUS* status, ISC_STATUS code);

// Whether the vector tells that the connection to the server is gone: "connection lost to
// database", or the errors the network layer of current client libraries gives in its place
// (network request failed, error reading or writing data on the connection, connection
// shutdown).
bool LostConnection(const ISC_STATUS* status);

// The library's texts for the vector, one after the other, joined by CR LF (none after a text
// that ends with LF), with a single full stop at the very end removed.
std::string StatusMessage(const ClientLibrary& client, const ISC_STATUS* status);

// What a failed call left behind, read before any later call can overwrite it.
struct StatusReport {
    std::string message;
    long sqlCode = 0;
    long errorCode = 0;
};
StatusReport ReadStatus(const ClientLibrary& client, const ISC_STATUS* status);

// Throws DatabaseError, or DatabasePermissionError for SQLCODE -551.
[[noreturn]] void Raise(StatusReport report);

// Throws DatabaseError, or DatabasePermissionError for SQLCODE -551, for the failed call that
// left `status` behind.
[[noreturn]] void RaiseDatabaseError(const ClientLibrary& client, const ISC_STATUS* status);
