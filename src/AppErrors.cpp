#include "AppErrors.h"

#include <cxxabi.h>

#include <QApplication>
#include <QMessageBox>
#include <typeinfo>

namespace app {
namespace {

std::function<void(const MessageBoxShown&)>& Hook() {
    static std::function<void(const MessageBoxShown&)> hook;
    return hook;
}

void Show(MessageBoxShown::Kind kind, const QString& caption, const QString& text) {
    if (Hook()) {
        Hook()({kind, caption, text});
        return;
    }
    QMessageBox box(
        kind == MessageBoxShown::Kind::Information ? QMessageBox::NoIcon : QMessageBox::Critical,
        caption, text, QMessageBox::Ok, QApplication::activeWindow());
    box.exec();
}

}  // namespace

QString WithFullStop(const QString& text) {
    return !text.isEmpty() && text.back() > QLatin1Char('.') ? text + QLatin1Char('.') : text;
}

void SetMessageBoxHook(std::function<void(const MessageBoxShown&)> hook) {
    Hook() = std::move(hook);
}

void ShowError(const QString& text) {
    Show(MessageBoxShown::Kind::Error, kTitle, WithFullStop(text));
}

void ShowInformation(const QString& text) {
    Show(MessageBoxShown::Kind::Information, kTitle, text);
}

void ShowApplicationError(const QString& text) {
    Show(MessageBoxShown::Kind::ApplicationError, QStringLiteral("Application Error"), text);
}

QString ApplicationErrorText(const std::exception& error, const QString& module) {
    int status = 0;
    char* demangled = abi::__cxa_demangle(typeid(error).name(), nullptr, nullptr, &status);
    const QString className = QString::fromLatin1(status == 0 ? demangled : typeid(error).name());
    std::free(demangled);
    return QStringLiteral("Exception %1 in module %2 at %3.\r\n%4\r\n")
        .arg(className, module, QString::asprintf("%p", static_cast<const void*>(&error)),
             WithFullStop(QString::fromLocal8Bit(error.what())));
}

void ShowCurrentException(std::exception_ptr error) {
    try {
        std::rethrow_exception(error);
    } catch (const SilentAbort&) {
    } catch (const std::exception& e) {
        ShowError(QString::fromLocal8Bit(e.what()));
    } catch (...) {
        ShowError(QStringLiteral("Unknown error"));
    }
}

}  // namespace app
