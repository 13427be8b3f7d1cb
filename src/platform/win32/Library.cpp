// LoadLibraryA / GetProcAddress.

#include "platform/Library.h"

#include "platform/SystemError.h"
#include "platform/win32/Win32Internal.h"

namespace platform {

LibraryHandle LoadSharedLibrary(const std::string& fileName) {
    return reinterpret_cast<LibraryHandle>(LoadLibraryA(fileName.c_str()));
}

void* FindSymbol(LibraryHandle library, const char* name) {
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library), name));
}

}  // namespace platform
