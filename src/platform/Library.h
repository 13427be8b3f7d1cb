#pragma once
// Shared libraries loaded at run time.

#include <string>

namespace platform {

// LoadLibraryA / GetProcAddress. A loaded library stays loaded until the process ends.
using LibraryHandle = void*;
LibraryHandle LoadSharedLibrary(const std::string& fileName);
void* FindSymbol(LibraryHandle library, const char* name);

}  // namespace platform
