#include "TrayIcon.h"

#include <QCursor>

#include "MainForm.h"
#include "WindowPictures.h"

TrayIcon::TrayIcon(QObject* parent) : QObject(parent) {
    PopupTrayIcon.setObjectName(QStringLiteral("PopupTrayIcon"));
    for (const MenuItemDescription& item : kTrayMenu) {
        QAction* action = item.id ? PopupTrayIcon.addAction(LoadIcon(item.picture),
                                                            QString::fromUtf8(item.caption))
                                  : PopupTrayIcon.addSeparator();
        action->setObjectName(QString::fromLatin1(item.name));
        if (item.id) items_[*item.id] = action;
    }

    TimerPopup.setInterval(TimerPeriodMs(TimerId::TimerPopup));
    TimerPopup.setObjectName(QStringLiteral("TimerPopup"));

    // Qt reports presses by reason; they are mapped onto the shell's mouse messages.
    connect(&Icon, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) {
                emit MouseMessage(reason == QSystemTrayIcon::Trigger       ? kTrayLeftButtonDown
                                  : reason == QSystemTrayIcon::Context     ? kTrayRightButtonDown
                                  : reason == QSystemTrayIcon::DoubleClick ? kTrayLeftDoubleClick
                                                                           : kTrayMiddleButtonDown);
            });
}

void TrayIcon::Install(const QIcon& icon) {
    Icon.setIcon(icon);
    Icon.setToolTip(QString::fromUtf8(kApplicationTitle));
    Icon.show();
}

void TrayIcon::PopupAtCursor() {
    const QPoint at = QCursor::pos();
    emit MenuAboutToPopUp();
    PopupTrayIcon.exec(at);
}
