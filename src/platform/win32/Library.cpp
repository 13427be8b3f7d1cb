// LoadLibraryA / GetProcAddress, and the system's text for the last failure.

#include "Win32Internal.h"

namespace platform {

LibraryHandle LoadSharedLibrary(const std::string& fileName) {
    return reinterpret_cast<LibraryHandle>(LoadLibraryA(fileName.c_str()));
}

void* FindSymbol(LibraryHandle library, const std::string& name) {
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library), name.c_str()));
}

std::string LastErrorText() {
    const DWORD error = GetLastError();
    char* text = nullptr;
    const DWORD length = FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<char*>(&text), 0, nullptr);
    std::string result = length && text ? std::string(text, length) : std::string();
    if (text) LocalFree(text);
    while (!result.empty() && (result.back() == '\n' || result.back() == '\r')) result.pop_back();
    if (result.empty()) result = "System error " + std::to_string(error);
    return result;
}

}  // namespace platform
