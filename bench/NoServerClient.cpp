// gds32.dll for the Windows bench: a Firebird client that reaches no server. The main window's
// database objects load the client library when the window is made, though the bench never
// opens a database; with this beside the bench programs they run on any machine. Every call
// that would reach a server fails as a client without a server does ("unavailable database").
#include <ibase.h>

#include <cstring>

namespace {

ISC_STATUS Unavailable(ISC_STATUS* status) {
    status[0] = isc_arg_gds;
    status[1] = isc_unavailable;
    status[2] = isc_arg_end;
    return isc_unavailable;
}

}  // namespace

// Each entry point with the parameters that ibase.h declares for it (the compiler holds them to
// the declaration): the status vector first, the rest unused.
#define DUPLORA_UNAVAILABLE(name, ...)                                                  \
    __declspec(dllexport) ISC_STATUS ISC_EXPORT name(ISC_STATUS* status, __VA_ARGS__) { \
        return Unavailable(status);                                                     \
    }

extern "C" {

DUPLORA_UNAVAILABLE(isc_attach_database, short, const ISC_SCHAR*, isc_db_handle*, short,
                    const ISC_SCHAR*)
DUPLORA_UNAVAILABLE(isc_database_info, isc_db_handle*, short, const ISC_SCHAR*, short, ISC_SCHAR*)
DUPLORA_UNAVAILABLE(isc_start_multiple, isc_tr_handle*, short, void*)
DUPLORA_UNAVAILABLE(isc_dsql_alloc_statement2, isc_db_handle*, isc_stmt_handle*)
DUPLORA_UNAVAILABLE(isc_dsql_prepare, isc_tr_handle*, isc_stmt_handle*, unsigned short,
                    const ISC_SCHAR*, unsigned short, XSQLDA*)
DUPLORA_UNAVAILABLE(isc_dsql_sql_info, isc_stmt_handle*, short, const ISC_SCHAR*, short, ISC_SCHAR*)
DUPLORA_UNAVAILABLE(isc_dsql_describe, isc_stmt_handle*, unsigned short, XSQLDA*)
DUPLORA_UNAVAILABLE(isc_dsql_execute2, isc_tr_handle*, isc_stmt_handle*, unsigned short,
                    const XSQLDA*, const XSQLDA*)
DUPLORA_UNAVAILABLE(isc_dsql_set_cursor_name, isc_stmt_handle*, const ISC_SCHAR*, unsigned short)
DUPLORA_UNAVAILABLE(isc_dsql_fetch, isc_stmt_handle*, unsigned short, const XSQLDA*)
DUPLORA_UNAVAILABLE(isc_dsql_free_statement, isc_stmt_handle*, unsigned short)
DUPLORA_UNAVAILABLE(isc_commit_transaction, isc_tr_handle*)
DUPLORA_UNAVAILABLE(isc_rollback_transaction, isc_tr_handle*)
DUPLORA_UNAVAILABLE(isc_detach_database, isc_db_handle*)

__declspec(dllexport) ISC_LONG ISC_EXPORT isc_sqlcode(const ISC_STATUS*) {
    return -904;  // "unavailable database"
}

__declspec(dllexport) ISC_LONG ISC_EXPORT isc_interprete(ISC_SCHAR* buffer, ISC_STATUS** vector) {
    if ((*vector)[0] != isc_arg_gds || (*vector)[1] != isc_unavailable) return 0;
    std::strcpy(buffer, "unavailable database");
    *vector += 2;
    return static_cast<ISC_LONG>(std::strlen(buffer));
}

__declspec(dllexport) ISC_LONG ISC_EXPORT isc_vax_integer(const ISC_SCHAR* bytes, short length) {
    ISC_LONG value = 0;  // little-endian, as the client's own
    for (short i = length - 1; i >= 0; --i)
        value = (value << 8) | static_cast<unsigned char>(bytes[i]);
    return value;
}

}  // extern "C"
