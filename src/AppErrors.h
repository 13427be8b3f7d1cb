#pragma once
// The application's default handler for errors that leave an event handler, and the message
// boxes it and the window show. No exception crosses a Qt event boundary: every handler runs
// inside Guarded().

#include <QString>
#include <exception>
#include <functional>

#include "engine/SilentAbort.h"

namespace app {

inline const QString kTitle = QStringLiteral("Duplora - Tavix Zadododa");

// The text with a full stop added when its last character sorts after ".".
QString WithFullStop(const QString& text);

struct MessageBoxShown {
    enum class Kind { Error, Information, ApplicationError };
    Kind kind;
    QString caption;
    QString text;
};
// Test seam: while set, message boxes are handed to the hook instead of shown.
void SetMessageBoxHook(std::function<void(const MessageBoxShown&)> hook);

void ShowError(const QString& text);             // title caption, error icon, text with full stop
void ShowInformation(const QString& text);       // title caption, one OK button
void ShowApplicationError(const QString& text);  // the start-up failure box
// The runtime's report of an error that nothing caught:
// "Exception <class> in module <module> at <address>.\r\n<text with full stop>\r\n".
QString ApplicationErrorText(const std::exception& error, const QString& module);

// Shows the error at hand as the default handler does: SilentAbort says nothing.
void ShowCurrentException(std::exception_ptr error);

template <class Handler>
void Guarded(Handler&& handler) {
    try {
        handler();
    } catch (...) {
        ShowCurrentException(std::current_exception());
    }
}

}  // namespace app
