#pragma once
// The Firebird client library, loaded at run time, and the classic entry points the link calls.
// Types and constants come from the client's own header; the library itself is never linked, so
// a machine without it still starts far enough to say so.

#include <ibase.h>

#include <string>

// The file the platform's ordinary library search looks for.
#ifdef _WIN32
inline constexpr const char* kClientLibraryName = "gds32.dll";
#else
inline constexpr const char* kClientLibraryName = "libfbclient.so.2";
#endif

// One pointer per entry point, typed from the header's own declarations (calling convention
// included). A copy may be given to the database objects in place of the process's table, for
// instance by a layer that records each call and passes it on to the real entry point.
struct ClientLibrary {
// isc_interprete is marked deprecated, but it is the one the messages are built with.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#define DUPLORA_ENTRY(name) decltype(&::name) name = nullptr;
#include "database/EntryPoints.inc"
#undef DUPLORA_ENTRY
#pragma GCC diagnostic pop

    // Loads `fileName` and resolves every entry point by name. The library stays loaded until
    // the process ends. Throws DatabaseClientError when the library cannot be loaded, and
    // DatabaseClientError with the platform's text when an entry point is missing; an optional
    // one that is missing stays nullptr.
    static ClientLibrary Load(const std::string& fileName);

    // The table of kClientLibraryName, loaded by the first call. A failed load is tried again
    // by the next call.
    static const ClientLibrary& Process();
};
