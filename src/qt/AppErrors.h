#pragma once
// Message boxes on Qt: the window's and the start-up failure's. Tests answer them through a
// hook instead of a user.

#include <QMessageBox>
#include <functional>
#include <memory>
#include <string>

#include "mainform/DefaultHandler.h"

namespace app {

struct MessageBoxShown {
    MessageKind kind;
    std::string caption;
    std::string text;
};
// Test seam: while set, message boxes are handed to the hook instead of shown.
void SetMessageBoxHook(std::function<void(const MessageBoxShown&)> hook);

// The box as it is shown, belonging to `owner` (none: a box of its own): at least wide enough
// for its caption, which the system would otherwise cut short in the title bar of a box with a
// short text.
std::unique_ptr<QMessageBox> MakeMessageBox(MessageKind kind, const std::string& caption,
                                            const std::string& text, QWidget* owner = nullptr);

// A modal message box; returns when it is closed.
class QtMessageBoxes final : public MessageBoxes {
public:
    // `owner`: the window the boxes belong to while it is shown, so that every window manager
    // keeps them over it; none while it is hidden, where a box of its own stays in sight.
    explicit QtMessageBoxes(QWidget* owner = nullptr) : owner_(owner) {}
    void ShowMessageBox(MessageKind kind, const std::string& caption,
                        const std::string& text) override;

private:
    QWidget* owner_;
};

}  // namespace app
