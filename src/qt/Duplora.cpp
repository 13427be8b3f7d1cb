// The main program: the application, its title, the main window, the message loop.

#include <sys/socket.h>
#include <unistd.h>

#include <QApplication>
#include <QFileInfo>
#include <QScreen>
#include <QSocketNotifier>
#include <csignal>
#include <memory>

#include "qt/AppErrors.h"
#include "qt/UPrincipal.h"

namespace {

int endSessionPipe[2] = {-1, -1};

// SIGTERM (a logout, a service manager's stop) only wakes the message loop; the session is
// ended there, on the window's thread, as the window's logic says.
void OnTerminate(int) {
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = write(endSessionPipe[1], &byte, 1);
}

void EndSessionOnTerminate(TFrmPrincipal& window, QObject& owner) {
    if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, endSessionPipe) != 0) return;
    auto* notifier = new QSocketNotifier(endSessionPipe[0], QSocketNotifier::Read, &owner);
    QObject::connect(notifier, &QSocketNotifier::activated, &owner, [&window, notifier] {
        char byte;
        [[maybe_unused]] const ssize_t read = ::read(endSessionPipe[0], &byte, 1);
        notifier->setEnabled(false);  // once is enough
        window.Form.EndSession();
    });
    struct sigaction action {};
    action.sa_handler = OnTerminate;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &action, nullptr);
}

}  // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Duplora"));
    QApplication::setApplicationDisplayName(
        QString::fromUtf8(kApplicationTitle));       // the taskbar button's text
    QApplication::setQuitOnLastWindowClosed(false);  // hiding to the tray ends nothing
    // The classic style draws group box titles on the frame line and 3D bevels, which the
    // window's fixed layout is made for.
    QApplication::setStyle(QStringLiteral("Windows"));

    std::unique_ptr<TFrmPrincipal> window;
    try {
        window = std::make_unique<TFrmPrincipal>();
    } catch (const std::exception& error) {
        // The window could not be created (the database client library is missing): the
        // runtime's own report, and no message loop.
        const QString module = QFileInfo(QCoreApplication::applicationFilePath()).fileName();
        app::QtMessageBoxes boxes;
        ShowApplicationError(boxes, error, module.toStdString());
        return 1;
    }
    EndSessionOnTerminate(*window, application);
    const QRect screen = window->screen()->availableGeometry();
    window->move(screen.center() - window->rect().center());
    window->show();
    return QApplication::exec();
}
