#include "AppErrors.h"

#include <QApplication>
#include <QMessageBox>

namespace app {
namespace {

std::function<void(const MessageBoxShown&)>& Hook() {
    static std::function<void(const MessageBoxShown&)> hook;
    return hook;
}

}  // namespace

void SetMessageBoxHook(std::function<void(const MessageBoxShown&)> hook) {
    Hook() = std::move(hook);
}

void QtMessageBoxes::ShowMessageBox(MessageKind kind, const std::string& caption,
                                    const std::string& text) {
    if (Hook()) {
        Hook()({kind, caption, text});
        return;
    }
    QMessageBox box(kind == MessageKind::Information ? QMessageBox::NoIcon : QMessageBox::Critical,
                    QString::fromUtf8(caption), QString::fromUtf8(text), QMessageBox::Ok,
                    QApplication::activeWindow());
    box.exec();
}

}  // namespace app
