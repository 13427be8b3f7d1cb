// The main program: the common controls, the main window, the message loop.

#include <memory>

#include "win32/MessageBoxes.h"
#include "win32/UPrincipal.h"

namespace {

// The executable's file name, as the runtime's start-up report names the module.
std::string ModuleName() {
    char path[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    const std::string full(path, length);
    return full.substr(full.find_last_of("\\/") + 1);
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);

    std::unique_ptr<TFrmPrincipal> window;
    try {
        window = std::make_unique<TFrmPrincipal>();
    } catch (const std::exception& error) {
        // The window could not be created (the database client library is missing): the
        // runtime's own report, and no message loop.
        win32::SystemMessageBoxes boxes;
        ShowApplicationError(boxes, error, ModuleName());
        return 1;
    }
    return window->MessageLoop();
}
