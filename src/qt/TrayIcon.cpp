#include "qt/TrayIcon.h"

#include <QCursor>

#include "qt/WindowPictures.h"

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

    // Qt reports a click by its reason: on X11 the left press itself is Trigger (on Windows Qt
    // reports it at the release), the right press Context, and the second press of a quick pair
    // DoubleClick instead of Trigger.
    connect(&Icon, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) {
                switch (reason) {
                    case QSystemTrayIcon::Trigger:
                        emit Clicked(TrayClick::Left);
                        break;
                    case QSystemTrayIcon::Context:
                        emit Clicked(TrayClick::Right);
                        break;
                    case QSystemTrayIcon::DoubleClick:
                        emit Clicked(TrayClick::Double);
                        break;
                    case QSystemTrayIcon::MiddleClick:
                    case QSystemTrayIcon::Unknown:
                        break;
                }
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
