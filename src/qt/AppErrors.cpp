#include "qt/AppErrors.h"

#include <QApplication>
#include <QGridLayout>
#include <QSpacerItem>

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

std::unique_ptr<QMessageBox> MakeMessageBox(MessageKind kind, const std::string& caption,
                                            const std::string& text, QWidget* owner) {
    auto box = std::make_unique<QMessageBox>(
        kind == MessageKind::Information ? QMessageBox::NoIcon : QMessageBox::Critical,
        QString::fromUtf8(caption), QString::fromUtf8(text), QMessageBox::Ok, owner);
    // The caption in the title bar's font, with room for the icon and the close button.
    constexpr int kTitleBarExtras = 96;
    const QFont titleFont = QApplication::font("QMdiSubWindowTitleBar");
    const int wanted =
        QFontMetrics(titleFont).horizontalAdvance(box->windowTitle()) + kTitleBarExtras;
    if (auto* grid = qobject_cast<QGridLayout*>(box->layout()))
        grid->addItem(new QSpacerItem(wanted, 0, QSizePolicy::Minimum, QSizePolicy::Expanding),
                      grid->rowCount(), 0, 1, grid->columnCount());
    return box;
}

void QtMessageBoxes::ShowMessageBox(MessageKind kind, const std::string& caption,
                                    const std::string& text) {
    if (Hook()) {
        Hook()({kind, caption, text});
        return;
    }
    MakeMessageBox(kind, caption, text, owner_ && owner_->isVisible() ? owner_ : nullptr)->exec();
}

}  // namespace app
