// The main program: the application, its title, the main window, the message loop.

#include <QApplication>
#include <QFileInfo>
#include <QScreen>
#include <memory>

#include "AppErrors.h"
#include "UPrincipal.h"

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
    const QRect screen = window->screen()->availableGeometry();
    window->move(screen.center() - window->rect().center());
    window->show();
    return QApplication::exec();
}
