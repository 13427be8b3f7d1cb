#pragma once
// The default handler's message boxes as the system shows them.

#include "mainform/DefaultHandler.h"
#include "win32/controls/Win32.h"

namespace win32 {

class SystemMessageBoxes : public MessageBoxes {
public:
    // `owner`: the window the boxes belong to, or none.
    explicit SystemMessageBoxes(HWND owner = nullptr) : owner_(owner) {}
    void ShowMessageBox(MessageKind kind, const std::string& caption,
                        const std::string& text) override;

private:
    HWND owner_;
};

}  // namespace win32
