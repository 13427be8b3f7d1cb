#include "TrayIcon.h"

#include <QCursor>

#include "AppErrors.h"
#include "Pictures.h"

TrayIcon::TrayIcon(Handlers handlers, QObject* parent)
    : QObject(parent), handlers_(std::move(handlers)) {
    for (const QString& path : pictures::TrayPictures())
        ListaImagemTray.append(pictures::Icon(path));

    // Nothing is attached to "Iniciar Backup": its enabled state follows the start button.
    MenuIniciarBackup =
        PopupTrayIcon.addAction(ListaImagemTray[3], QStringLiteral("Iniciar Backup"));
    PopupTrayIcon.addSeparator()->setObjectName(QStringLiteral("N2"));
    MenuOcultar_Restaurar = PopupTrayIcon.addAction(ListaImagemTray[1], QStringLiteral("Ocultar"));
    PopupTrayIcon.addSeparator()->setObjectName(QStringLiteral("N1"));
    Fechar1 = PopupTrayIcon.addAction(ListaImagemTray[0], QStringLiteral("Fechar"));
    MenuIniciarBackup->setObjectName(QStringLiteral("MenuIniciarBackup"));
    MenuOcultar_Restaurar->setObjectName(QStringLiteral("MenuOcultar_Restaurar"));
    Fechar1->setObjectName(QStringLiteral("Fechar1"));
    PopupTrayIcon.setObjectName(QStringLiteral("PopupTrayIcon"));

    connect(MenuOcultar_Restaurar, &QAction::triggered, this,
            [this] { app::Guarded(handlers_.toggleWindow); });
    connect(Fechar1, &QAction::triggered, this, [this] { app::Guarded(handlers_.closeWindow); });
    connect(&PopupTrayIcon, &QMenu::aboutToShow, this,
            [this] { app::Guarded([this] { PopupTrayIconPopup(); }); });

    TimerPopup.setInterval(200);
    TimerPopup.setObjectName(QStringLiteral("TimerPopup"));
    connect(&TimerPopup, &QTimer::timeout, this,
            [this] { app::Guarded([this] { TimerPopupTimer(); }); });

    // The toolkit reports presses by reason; they are mapped onto the shell's mouse messages.
    connect(&Icon, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) {
                const int message = reason == QSystemTrayIcon::Trigger       ? kLeftButtonDown
                                    : reason == QSystemTrayIcon::Context     ? kRightButtonDown
                                    : reason == QSystemTrayIcon::DoubleClick ? kLeftDoubleClick
                                                                             : kMiddleButtonDown;
                app::Guarded([&] { WMTrayIcon(message); });
            });
}

void TrayIcon::Install(const QIcon& icon) {
    Icon.setIcon(icon);
    Icon.setToolTip(app::kTitle);
    Icon.show();
}

void TrayIcon::SetIcon(const QIcon& icon) { Icon.setIcon(icon); }

void TrayIcon::WMTrayIcon(int mouseMessage) {
    if (mouseMessage == kLeftButtonDown)
        handlers_.toggleWindow();
    else if (mouseMessage == kRightButtonDown && !TimerPopup.isActive())
        TimerPopup.start();  // a second press within the 200 ms does not restart it
}

void TrayIcon::TimerPopupTimer() {
    TimerPopup.stop();
    const QPoint at = QCursor::pos();
    emit MenuAboutToPopUp();
    PopupTrayIcon.exec(at);
}

void TrayIcon::PopupTrayIconPopup() {
    const bool visible = handlers_.windowVisible();
    MenuOcultar_Restaurar->setText(visible ? QStringLiteral("Ocultar")
                                           : QStringLiteral("Restaurar"));
    MenuOcultar_Restaurar->setIcon(ListaImagemTray[visible ? 1 : 2]);
}
