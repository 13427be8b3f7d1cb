// duplora_install_probe UPGRADECODE: run in a Wine prefix where the Windows Installer package was
// installed, it reads what the package left, as Windows programs see it, one "name=value" line
// each:
//   product=<ProductCode> <context> <version>   each installed product of the UpgradeCode;
//                                               context machine|user|none
//   link.<where>=<path of Duplora.lnk>          for each of startup.common, startup.user,
//                                               programs.common, programs.user that holds one
//   link.<where>.target, .workdir, .arguments, .showcmd   read with IShellLinkA
//   eventlog.<value>=<data> and eventlog.<value>.type=REG_SZ|REG_EXPAND_SZ|REG_DWORD|...
//                                               the values of the event source's key, when present
// Exit status 0, or 1 when a call failed unexpectedly.
#include <windows.h>
// After windows.h, which they need:
#include <msi.h>
#include <shlobj.h>

#include <cstdio>
#include <string>

namespace {

int faults = 0;

void Fault(const char* what, long code) {
    std::printf("fault=%s: %ld\n", what, code);
    ++faults;
}

// Every product of the family, with where it is installed: a per-machine package is registered
// in the machine's context.
void PrintProducts(const char* upgradeCode) {
    char product[39];
    for (DWORD i = 0; MsiEnumRelatedProductsA(upgradeCode, 0, i, product) == ERROR_SUCCESS; ++i) {
        const struct {
            MSIINSTALLCONTEXT context;
            const char* name;
        } contexts[] = {{MSIINSTALLCONTEXT_MACHINE, "machine"},
                        {MSIINSTALLCONTEXT_USERUNMANAGED, "user"}};
        const char* where = "none";
        char version[64] = "";
        for (const auto& c : contexts) {
            DWORD size = sizeof version;
            if (MsiGetProductInfoExA(product, nullptr, c.context, INSTALLPROPERTY_VERSIONSTRING,
                                     version, &size) == ERROR_SUCCESS) {
                where = c.name;
                break;
            }
        }
        std::printf("product=%s %s %s\n", product, where, version);
    }
}

void PrintLink(const char* where, int folderId) {
    char folder[MAX_PATH];
    if (FAILED(SHGetFolderPathA(nullptr, folderId, nullptr, SHGFP_TYPE_CURRENT, folder))) {
        Fault("SHGetFolderPathA", folderId);
        return;
    }
    const std::string path = std::string(folder) + "\\Duplora.lnk";
    if (GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES) return;
    std::printf("link.%s=%s\n", where, path.c_str());

    IShellLinkA* link = nullptr;
    IPersistFile* file = nullptr;
    HRESULT result = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                      IID_IShellLinkA, reinterpret_cast<void**>(&link));
    if (FAILED(result)) return Fault("CoCreateInstance(CLSID_ShellLink)", result);
    wchar_t widePath[MAX_PATH];
    MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, widePath, MAX_PATH);
    result = link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file));
    if (SUCCEEDED(result)) result = file->Load(widePath, STGM_READ);
    if (FAILED(result)) {
        Fault("IPersistFile::Load", result);
    } else {
        char text[MAX_PATH * 2] = "";
        int showCmd = 0;
        link->GetPath(text, sizeof text, nullptr, SLGP_RAWPATH);
        std::printf("link.%s.target=%s\n", where, text);
        text[0] = '\0';
        link->GetWorkingDirectory(text, sizeof text);
        std::printf("link.%s.workdir=%s\n", where, text);
        text[0] = '\0';
        link->GetArguments(text, sizeof text);
        std::printf("link.%s.arguments=%s\n", where, text);
        link->GetShowCmd(&showCmd);
        std::printf("link.%s.showcmd=%d\n", where, showCmd);
    }
    if (file) file->Release();
    link->Release();
}

// The event source's key, in the registry's own view (not the 32-bit one of a 32-bit program).
void PrintEventSource() {
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE,
                      "SYSTEM\\CurrentControlSet\\Services\\EventLog\\Application\\Duplora", 0,
                      KEY_READ | KEY_WOW64_64KEY, &key) != ERROR_SUCCESS)
        return;
    char name[256];
    BYTE data[1024];
    for (DWORD i = 0;; ++i) {
        DWORD nameSize = sizeof name, dataSize = sizeof data - 1, type = 0;
        if (RegEnumValueA(key, i, name, &nameSize, nullptr, &type, data, &dataSize) !=
            ERROR_SUCCESS)
            break;
        data[dataSize] = 0;
        switch (type) {
            case REG_SZ:
            case REG_EXPAND_SZ:
                std::printf("eventlog.%s=%s\neventlog.%s.type=%s\n", name,
                            reinterpret_cast<char*>(data), name,
                            type == REG_SZ ? "REG_SZ" : "REG_EXPAND_SZ");
                break;
            case REG_DWORD:
                std::printf("eventlog.%s=%lu\neventlog.%s.type=REG_DWORD\n", name,
                            static_cast<unsigned long>(*reinterpret_cast<DWORD*>(data)), name);
                break;
            default:
                std::printf("eventlog.%s.type=%lu\n", name, static_cast<unsigned long>(type));
        }
    }
    RegCloseKey(key);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("usage: duplora_install_probe UPGRADECODE\n", stderr);
        return 2;
    }
    CoInitialize(nullptr);
    PrintProducts(argv[1]);
    PrintLink("startup.common", CSIDL_COMMON_STARTUP);
    PrintLink("startup.user", CSIDL_STARTUP);
    PrintLink("programs.common", CSIDL_COMMON_PROGRAMS);
    PrintLink("programs.user", CSIDL_PROGRAMS);
    PrintEventSource();
    CoUninitialize();
    return faults ? 1 : 0;
}
