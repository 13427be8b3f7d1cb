// The main program: the application, its title, the main window, the message loop.

#include <QApplication>
#include <QFileInfo>
#include <QScreen>
#include <cxxabi.h>
#include <memory>
#include <typeinfo>

#include "AppErrors.h"
#include "UPrincipal.h"

namespace {

QString ClassName(const std::exception& error) {
    int status = 0;
    char* demangled = abi::__cxa_demangle(typeid(error).name(), nullptr, nullptr, &status);
    const QString name = QString::fromLatin1(status == 0 ? demangled : typeid(error).name());
    std::free(demangled);
    return name;
}

// The window could not be created (the database client library is missing): the runtime's
// own report, and no message loop.
void ReportStartupFailure(const std::exception& error) {
    const QString module = QFileInfo(QCoreApplication::applicationFilePath()).fileName();
    const QString text = QString::fromLocal8Bit(error.what());
    app::ShowApplicationError(QStringLiteral("Exception %1 in module %2 at %3.\r\n%4\r\n")
                                  .arg(ClassName(error), module,
                                       QString::asprintf("%p", static_cast<const void*>(&error)),
                                       app::WithFullStop(text)));
}

}  // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Duplora"));
    QApplication::setApplicationDisplayName(app::kTitle);  // the taskbar button's text
    QApplication::setQuitOnLastWindowClosed(false);        // hiding to the tray ends nothing

    std::unique_ptr<TFrmPrincipal> window;
    try {
        window = std::make_unique<TFrmPrincipal>();
    } catch (const std::exception& error) {
        ReportStartupFailure(error);
        return 1;
    }
    const QRect screen = window->screen()->availableGeometry();
    window->move(screen.center() - window->rect().center());
    window->show();
    return QApplication::exec();
}
