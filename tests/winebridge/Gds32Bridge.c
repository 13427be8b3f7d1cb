// gds32.dll for Wine: each entry point of the Windows client library that the database link
// calls (stdcall, as ibase.h declares it under _WIN32) calls the same function of the Linux
// client library libfbclient.so.2 of the same word size, loaded when the DLL is. The structures
// behind the pointers are laid out alike on both sides (see Layout.inc).
//
// Built with hidden visibility: the forwarders carry the client's own names, and nothing of
// this library may stand in for the client's symbols. The client is opened RTLD_LOCAL, so its
// symbols do not reach anything else in the process either.

#include <dlfcn.h>
#include <ibase.h>
#include <stdio.h>
#include <windows.h>

// The Linux client's calling convention: cdecl on i386, the System V one on x86-64. Named
// explicitly, for winegcc makes every Windows convention of x86-64 (__cdecl too) Microsoft's.
#if defined(__x86_64__)
#define DUPLORA_LINUX_CALL __attribute__((sysv_abi))
#else
#define DUPLORA_LINUX_CALL __attribute__((__cdecl__))
#endif

// The forwarder carries the entry point's own name, so the compiler holds its parameters to
// ibase.h's declaration and calling convention (ISC_EXPORT: winegcc's __stdcall, stdcall on
// i386 and Microsoft's x64 convention, ms_abi, on x86-64); the Linux function is called through
// a pointer of the same parameters in the Linux client's convention.
#define DUPLORA_FORWARD(Result, name, parameters, arguments)    \
    static Result(DUPLORA_LINUX_CALL* linux_##name) parameters; \
    Result ISC_EXPORT name parameters { return linux_##name arguments; }

DUPLORA_FORWARD(ISC_STATUS, isc_attach_database,
                (ISC_STATUS * status, short nameLength, const ISC_SCHAR* name,
                 isc_db_handle* database, short blockLength, const ISC_SCHAR* block),
                (status, nameLength, name, database, blockLength, block))
DUPLORA_FORWARD(ISC_STATUS, isc_database_info,
                (ISC_STATUS * status, isc_db_handle* database, short itemsLength,
                 const ISC_SCHAR* items, short bufferLength, ISC_SCHAR* buffer),
                (status, database, itemsLength, items, bufferLength, buffer))
DUPLORA_FORWARD(ISC_STATUS, isc_start_multiple,
                (ISC_STATUS * status, isc_tr_handle* transaction, short count, void* vector),
                (status, transaction, count, vector))
DUPLORA_FORWARD(ISC_STATUS, isc_dsql_alloc_statement2,
                (ISC_STATUS * status, isc_db_handle* database, isc_stmt_handle* statement),
                (status, database, statement))
DUPLORA_FORWARD(ISC_STATUS, isc_dsql_prepare,
                (ISC_STATUS * status, isc_tr_handle* transaction, isc_stmt_handle* statement,
                 unsigned short length, const ISC_SCHAR* text, unsigned short dialect,
                 XSQLDA* output),
                (status, transaction, statement, length, text, dialect, output))
DUPLORA_FORWARD(ISC_STATUS, isc_dsql_sql_info,
                (ISC_STATUS * status, isc_stmt_handle* statement, short itemsLength,
                 const ISC_SCHAR* items, short bufferLength, ISC_SCHAR* buffer),
                (status, statement, itemsLength, items, bufferLength, buffer))
DUPLORA_FORWARD(ISC_STATUS, isc_dsql_describe,
                (ISC_STATUS * status, isc_stmt_handle* statement, unsigned short dialect,
                 XSQLDA* output),
                (status, statement, dialect, output))
DUPLORA_FORWARD(ISC_STATUS, isc_dsql_execute2,
                (ISC_STATUS * status, isc_tr_handle* transaction, isc_stmt_handle* statement,
                 unsigned short dialect, const XSQLDA* input, const XSQLDA* output),
                (status, transaction, statement, dialect, input, output))
DUPLORA_FORWARD(ISC_STATUS, isc_dsql_set_cursor_name,
                (ISC_STATUS * status, isc_stmt_handle* statement, const ISC_SCHAR* cursor,
                 unsigned short type),
                (status, statement, cursor, type))
DUPLORA_FORWARD(ISC_STATUS, isc_dsql_fetch,
                (ISC_STATUS * status, isc_stmt_handle* statement, unsigned short dialect,
                 const XSQLDA* output),
                (status, statement, dialect, output))
DUPLORA_FORWARD(ISC_STATUS, isc_dsql_free_statement,
                (ISC_STATUS * status, isc_stmt_handle* statement, unsigned short option),
                (status, statement, option))
DUPLORA_FORWARD(ISC_STATUS, isc_commit_transaction,
                (ISC_STATUS * status, isc_tr_handle* transaction), (status, transaction))
DUPLORA_FORWARD(ISC_STATUS, isc_rollback_transaction,
                (ISC_STATUS * status, isc_tr_handle* transaction), (status, transaction))
DUPLORA_FORWARD(ISC_STATUS, isc_detach_database, (ISC_STATUS * status, isc_db_handle* database),
                (status, database))
DUPLORA_FORWARD(ISC_LONG, isc_sqlcode, (const ISC_STATUS* status), (status))
DUPLORA_FORWARD(ISC_LONG, isc_interprete, (ISC_SCHAR * buffer, ISC_STATUS** status),
                (buffer, status))
DUPLORA_FORWARD(ISC_LONG, isc_vax_integer, (const ISC_SCHAR* bytes, short length), (bytes, length))
DUPLORA_FORWARD(ISC_STATUS, fb_cancel_operation,
                (ISC_STATUS * status, isc_db_handle* database, ISC_USHORT option),
                (status, database, option))

// Every entry point of the link, by the link's own list: a name without a forwarder above
// does not compile.
static const struct {
    const char* name;
    void** function;
} kEntries[] = {
#define DUPLORA_ENTRY(name) {#name, (void**)&linux_##name},
#include "database/EntryPoints.inc"
#undef DUPLORA_ENTRY
};

static BOOL LoadLinuxClient(void) {
    static const char kLibrary[] = "libfbclient.so.2";
    void* library = dlopen(kLibrary, RTLD_NOW | RTLD_LOCAL);
    if (!library) {
        fprintf(stderr, "gds32.dll (Wine bridge): %s\n", dlerror());
        return FALSE;
    }
    for (size_t i = 0; i < sizeof kEntries / sizeof kEntries[0]; ++i) {
        *kEntries[i].function = dlsym(library, kEntries[i].name);
        if (!*kEntries[i].function) {
            fprintf(stderr, "gds32.dll (Wine bridge): %s lacks %s\n", kLibrary, kEntries[i].name);
            return FALSE;
        }
    }
    return TRUE;
}

// Without the Linux client the DLL does not load: LoadLibraryA fails with
// ERROR_DLL_INIT_FAILED, and the link reports the client library as missing.
BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    (void)instance;
    (void)reserved;
    return reason == DLL_PROCESS_ATTACH ? LoadLinuxClient() : TRUE;
}
