#include "AppErrors.h"

#include <QApplication>
#include <QMessageBox>

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
    QMessageBox box(kind == MessageBoxShown::Kind::Information ? QMessageBox::NoIcon
                                                               : QMessageBox::Critical,
                    caption, text, QMessageBox::Ok, QApplication::activeWindow());
    box.exec();
}

}  // namespace

QString WithFullStop(const QString& text) {
    return !text.isEmpty() && text.back() > QLatin1Char('.') ? text + QLatin1Char('.') : text;
}

void SetMessageBoxHook(std::function<void(const MessageBoxShown&)> hook) { Hook() = std::move(hook); }

void ShowError(const QString& text) { Show(MessageBoxShown::Kind::Error, kTitle, WithFullStop(text)); }

void ShowInformation(const QString& text) { Show(MessageBoxShown::Kind::Information, kTitle, text); }

void ShowApplicationError(const QString& text) {
    Show(MessageBoxShown::Kind::ApplicationError, QStringLiteral("Application Error"), text);
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
