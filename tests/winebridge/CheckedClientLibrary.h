#pragma once
// A layer over the real client library of the Windows build: each call goes to the real entry
// point and is written down, in order. On 32-bit x86 it goes through a thunk that pushes the
// arguments as a stdcall caller does and measures the stack pointer across the call, and the
// record holds the distance the stack pointer moved (zero when the entry point took exactly its
// arguments off the stack, as stdcall requires). x86-64 has one calling convention, whose caller
// cleans the stack: there nothing can move it, and the distance is always zero.
// Hand Library() to the database objects in place of the process's table.
//
// One such layer at a time per process.

#include <string>
#include <vector>

#include "database/ClientLibrary.h"

class CheckedClientLibrary {
public:
    struct Call {
        std::string name;
        long stackMoved;
    };

    CheckedClientLibrary();
    ~CheckedClientLibrary();
    CheckedClientLibrary(const CheckedClientLibrary&) = delete;
    CheckedClientLibrary& operator=(const CheckedClientLibrary&) = delete;

    const ClientLibrary& Library() const { return library_; }
    const std::vector<Call>& Calls() const;
    std::vector<std::string> Names() const;

private:
    ClientLibrary library_;
};
