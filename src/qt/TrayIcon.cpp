#include "TrayIcon.h"

#include <QCursor>

#include "MainForm.h"
#include "Pictures.h"

TrayIcon::TrayIcon(QObject* parent) : QObject(parent) {
    for (const QString& path : pictures::TrayPictures())
        ListaImagemTray.append(pictures::Icon(path));

    MenuIniciarBackup = PopupTrayIcon.addAction(ListaImagemTray[kTrayPictureIniciarBackup],
                                                QStringLiteral("Iniciar Backup"));
    PopupTrayIcon.addSeparator()->setObjectName(QStringLiteral("N2"));
    MenuOcultar_Restaurar =
        PopupTrayIcon.addAction(ListaImagemTray[kTrayPictureOcultar], QStringLiteral("Ocultar"));
    PopupTrayIcon.addSeparator()->setObjectName(QStringLiteral("N1"));
    Fechar1 =
        PopupTrayIcon.addAction(ListaImagemTray[kTrayPictureFechar], QStringLiteral("Fechar"));
    MenuIniciarBackup->setObjectName(QStringLiteral("MenuIniciarBackup"));
    MenuOcultar_Restaurar->setObjectName(QStringLiteral("MenuOcultar_Restaurar"));
    Fechar1->setObjectName(QStringLiteral("Fechar1"));
    PopupTrayIcon.setObjectName(QStringLiteral("PopupTrayIcon"));

    TimerPopup.setInterval(200);
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

void TrayIcon::SetIcon(const QIcon& icon) { Icon.setIcon(icon); }

void TrayIcon::SetMenuOcultarRestaurar(const QString& caption, int picture) {
    MenuOcultar_Restaurar->setText(caption);
    MenuOcultar_Restaurar->setIcon(ListaImagemTray[picture]);
}

void TrayIcon::PopupAtCursor() {
    const QPoint at = QCursor::pos();
    emit MenuAboutToPopUp();
    PopupTrayIcon.exec(at);
}
