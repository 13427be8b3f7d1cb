// The layout that the Linux client library gives the client's types: this file sees ibase.h as
// the client's own Linux sources do, without the Windows macros that winegcc defines.

#undef WIN32
#undef _WIN32
#undef __WIN32
#undef __WIN32__
#undef WIN64
#undef _WIN64
#undef __WIN64
#undef __WIN64__
#include <ibase.h>
#include <stddef.h>

static const unsigned kLayout[] = {
#define DUPLORA_SIZE(type, ...) sizeof(type),
#define DUPLORA_FIELD(type, field, ...) offsetof(type, field),
#include "winebridge/Layout.inc"
#undef DUPLORA_SIZE
#undef DUPLORA_FIELD
};

// Copies up to `capacity` values of Layout.inc's list into `values`; returns how many it holds.
// Called from the Windows side: winegcc's __stdcall is stdcall on i386 and ms_abi on x86-64.
unsigned __stdcall DuploraBridgeLayout(unsigned* values, unsigned capacity) {
    const unsigned count = sizeof kLayout / sizeof kLayout[0];
    for (unsigned i = 0; i < count && i < capacity; ++i) values[i] = kLayout[i];
    return count;
}
