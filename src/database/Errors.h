#pragma once
// The kinds of failure the database link raises.

#include <stdexcept>
#include <string>

// A failure found by the link's own checks, before or instead of a call to the client library.
class DatabaseClientError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A call of the client library failed. The message is the library's own text; the SQLCODE and
// the first error code of the status vector travel with it.
class DatabaseError : public std::runtime_error {
public:
    DatabaseError(std::string message, long sqlCode, long errorCode);
    long SqlCode() const { return sqlCode_; }
    long ErrorCode() const { return errorCode_; }

private:
    long sqlCode_;
    long errorCode_;
};

// SQLCODE -551: the account lacks a permission.
class DatabasePermissionError : public DatabaseError {
public:
    using DatabaseError::DatabaseError;
};
