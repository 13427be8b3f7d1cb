#include "database/ClientLibrary.h"

#include "database/Errors.h"
#include "platform/Library.h"
#include "platform/SystemError.h"

ClientLibrary ClientLibrary::Load(const std::string& fileName) {
    platform::LibraryHandle library = platform::LoadSharedLibrary(fileName);
    if (!library)
        throw DatabaseClientError("InterBase library " + fileName +
                                  " not found in the path. Please install InterBase to use this "
                                  "functionality");
    ClientLibrary client;
#define DUPLORA_ENTRY(name)                                            \
    if (void* symbol = platform::FindSymbol(library, #name))           \
        client.name = reinterpret_cast<decltype(client.name)>(symbol); \
    else                                                               \
        throw DatabaseClientError(platform::LastErrorText());
#define DUPLORA_OPTIONAL_ENTRY(name) \
    client.name = reinterpret_cast<decltype(client.name)>(platform::FindSymbol(library, #name));
#include "database/EntryPoints.inc"
#undef DUPLORA_OPTIONAL_ENTRY
#undef DUPLORA_ENTRY
    return client;
}

const ClientLibrary& ClientLibrary::Process() {
    static const ClientLibrary client = Load(kClientLibraryName);
    return client;
}
