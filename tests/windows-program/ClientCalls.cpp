// What the Windows program hands the Firebird client, as this build's compiler makes it, checked
// against the Windows client library without running either:
// - every structure the link passes has the Windows client's layout for this word size
//   (winebridge/Layout.inc), at compile time;
// - every entry point the link asks the client for by name is bound here, with the type of the
//   link's own table entry, to the client's declaration in ibase.h: the object file then names
//   each one as a program linked to the client would import it, `_name@N` on 32-bit x86 for a
//   stdcall function taking N bytes of arguments. check-program.py reads those names.
#include <cstddef>

#include "database/ClientLibrary.h"

namespace {

constexpr bool k64Bit = sizeof(void*) == 8;

#define DUPLORA_SIZE(type, win32, win64)                        \
    static_assert(sizeof(type) == (k64Bit ? (win64) : (win32)), \
                  "sizeof(" #type ") is not the Windows client's");
#define DUPLORA_FIELD(type, field, win32, win64)                         \
    static_assert(offsetof(type, field) == (k64Bit ? (win64) : (win32)), \
                  "offsetof(" #type ", " #field ") is not the Windows client's");
#include "winebridge/Layout.inc"
#undef DUPLORA_SIZE
#undef DUPLORA_FIELD

}  // namespace

// Every entry point of the link's table, bound to the client's symbol of that name.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"  // isc_interprete, as in the link
extern const ClientLibrary kClientEntryPoints;
const ClientLibrary kClientEntryPoints = {
#define DUPLORA_ENTRY(name) &::name,
#include "database/EntryPoints.inc"
#undef DUPLORA_ENTRY
};
#pragma GCC diagnostic pop
