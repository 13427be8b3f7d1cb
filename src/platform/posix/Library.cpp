// LoadLibraryA / GetProcAddress on POSIX.

#include "platform/Library.h"

#include <dlfcn.h>

#include "platform/posix/PosixInternal.h"

namespace platform {

LibraryHandle LoadSharedLibrary(const std::string& fileName) {
    void* library = dlopen(fileName.c_str(), RTLD_NOW | RTLD_GLOBAL);
    if (!library) posix::RememberError(dlerror());
    return library;
}

void* FindSymbol(LibraryHandle library, const char* name) {
    dlerror();
    void* symbol = dlsym(library, name);
    if (!symbol) {
        const char* error = dlerror();
        posix::RememberError(error ? error : "The specified procedure could not be found.");
    }
    return symbol;
}

}  // namespace platform
