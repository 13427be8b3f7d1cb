#pragma once
// The application's default handler for an error that leaves an event handler: SilentAbort ends
// the action without a word; any other error is shown in a message box with the title as
// caption, an error icon and its text, a full stop added when the text's last character sorts
// after ".". Every handler of the window runs inside Guarded(), so no error leaves it unseen.

#include <exception>
#include <string>

#include "common/Application.h"

enum class MessageKind {
    Error,             // the title as caption, an error icon, one OK button
    Information,       // the title as caption, one OK button
    ApplicationError,  // "Application Error": the runtime's report of a failed start-up
};

// Where message boxes appear: the window shows them, tests record them.
class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    // Returns when the user has closed the box.
    virtual void ShowMessageBox(MessageKind kind, const std::string& caption,
                                const std::string& text) = 0;
};

// The text with a full stop added when its last character sorts after ".".
std::string WithFullStop(const std::string& text);

void ShowError(MessageBoxes& boxes, const std::string& text);
void ShowInformation(MessageBoxes& boxes, const std::string& text);
// Shows `error` as the default handler does: SilentAbort says nothing.
void ShowException(MessageBoxes& boxes, std::exception_ptr error);

// Runs `handler`; an error that leaves it is shown. True when it ended without one.
template <class Handler>
bool Guarded(MessageBoxes& boxes, Handler&& handler) {
    try {
        handler();
        return true;
    } catch (...) {
        ShowException(boxes, std::current_exception());
        return false;
    }
}

// The runtime's report of an error that nothing caught at start-up:
// "Exception <class> in module <module> at <address>.\r\n<text with full stop>\r\n".
std::string ApplicationErrorText(const std::exception& error, const std::string& module);
void ShowApplicationError(MessageBoxes& boxes, const std::exception& error,
                          const std::string& module);
