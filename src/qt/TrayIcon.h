#pragma once
// The notification-area icon and its menu PopupTrayIcon, as Qt controls: the icon with the
// title as tooltip, the five menu items with the pictures of ListaImagemTray, and TimerPopup.
// What a press on the icon does is the window logic's (MainForm::WMTrayIcon): presses are
// reported as the shell's mouse messages.

#include <QAction>
#include <QIcon>
#include <QMenu>
#include <QObject>
#include <QSystemTrayIcon>
#include <QTimer>

class TrayIcon : public QObject {
    Q_OBJECT
public:
    explicit TrayIcon(QObject* parent = nullptr);

    // Adds the icon with `icon` and the tooltip; a platform without a notification area is no
    // error: Duplora runs on without it.
    void Install(const QIcon& icon);
    void SetIcon(const QIcon& icon);
    void SetMenuOcultarRestaurar(const QString& caption, int picture);
    // Shows the menu with its top-left corner at the cursor; returns when it closes.
    void PopupAtCursor();

    QSystemTrayIcon Icon;
    QMenu PopupTrayIcon;
    QAction* MenuIniciarBackup;
    QAction* MenuOcultar_Restaurar;
    QAction* Fechar1;
    QTimer TimerPopup;  // 200 ms, armed by a right press
    QList<QIcon> ListaImagemTray;

signals:
    // A press on the icon, as the shell's mouse message (MainForm's TrayMouseMessage).
    void MouseMessage(int message);
    void MenuAboutToPopUp();  // for tests: the menu is about to open
};
