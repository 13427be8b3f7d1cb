#include "win32/MessageBoxes.h"

namespace win32 {

void SystemMessageBoxes::ShowMessageBox(MessageKind kind, const std::string& caption,
                                        const std::string& text) {
    const UINT icon = kind == MessageKind::Information ? 0 : MB_ICONERROR;
    // A hidden window owns no box: it would stay out of sight.
    HWND owner = owner_ && IsWindowVisible(owner_) ? owner_ : nullptr;
    MessageBoxA(owner, text.c_str(), caption.c_str(), MB_OK | icon | (owner ? 0 : MB_TASKMODAL));
}

}  // namespace win32
