// LoadLibraryA / GetProcAddress.

#include "Library.h"

#include "SystemError.h"
#include "Win32Internal.h"

namespace platform {

LibraryHandle LoadSharedLibrary(const std::string& fileName) {
    return reinterpret_cast<LibraryHandle>(LoadLibraryA(fileName.c_str()));
}

void* FindSymbol(LibraryHandle library, const std::string& name) {
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library), name.c_str()));
}

}  // namespace platform
