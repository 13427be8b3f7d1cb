#pragma once
// A layer over the real client library of the Windows build: each call goes to the real entry
// point through a thunk that pushes the arguments as a stdcall caller does and measures the
// stack pointer across the call, and is written down with the distance the stack pointer moved
// (zero when the entry point took exactly its arguments off the stack, as stdcall requires).
// Hand Library() to the database objects in place of the process's table.
//
// One such layer at a time per process.

#include <string>
#include <vector>

#include "ClientLibrary.h"

class StackCheckedClientLibrary {
public:
    struct Call {
        std::string name;
        long stackMoved;
    };

    StackCheckedClientLibrary();
    ~StackCheckedClientLibrary();
    StackCheckedClientLibrary(const StackCheckedClientLibrary&) = delete;
    StackCheckedClientLibrary& operator=(const StackCheckedClientLibrary&) = delete;

    const ClientLibrary& Library() const { return library_; }
    const std::vector<Call>& Calls() const;
    std::vector<std::string> Names() const;

private:
    ClientLibrary library_;
};
