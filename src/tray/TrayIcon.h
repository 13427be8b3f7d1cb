#pragma once
// The notification-area icon and its menu. The icon is added once, shows the application icon
// (idle or busy picture) with the title as tooltip, toggles the window on a left press and opens
// the menu 200 ms after a right press, where the cursor is then.

#include <QAction>
#include <QIcon>
#include <QMenu>
#include <QObject>
#include <QSystemTrayIcon>
#include <QTimer>
#include <functional>

class TrayIcon : public QObject {
    Q_OBJECT
public:
    // The mouse messages the shell reports for the icon.
    enum MouseMessage : int {
        kMouseMove = 0x200,
        kLeftButtonDown = 0x201,
        kLeftButtonUp = 0x202,
        kLeftDoubleClick = 0x203,
        kRightButtonDown = 0x204,
        kRightButtonUp = 0x205,
        kRightDoubleClick = 0x206,
        kMiddleButtonDown = 0x207,
    };

    struct Handlers {
        std::function<bool()> windowVisible;  // FrmPrincipal's own visible flag
        std::function<void()> toggleWindow;   // MenuOcultar_RestaurarClick
        std::function<void()> closeWindow;    // btnFecharClick
    };

    TrayIcon(Handlers handlers, QObject* parent = nullptr);

    // Adds the icon with `icon` and the tooltip; a platform without a notification area is no
    // error: Duplora runs on without it.
    void Install(const QIcon& icon);
    // The picture in the notification area (the application icon follows it, see SetTrayIcon).
    void SetIcon(const QIcon& icon);

    // The icon's callback: a left press toggles the window, a right press arms TimerPopup,
    // every other message is ignored.
    void WMTrayIcon(int mouseMessage);
    void TimerPopupTimer();
    void PopupTrayIconPopup();

    QSystemTrayIcon Icon;
    QMenu PopupTrayIcon;
    QAction* MenuIniciarBackup;
    QAction* MenuOcultar_Restaurar;
    QAction* Fechar1;
    QTimer TimerPopup;
    QList<QIcon> ListaImagemTray;

signals:
    void MenuAboutToPopUp();  // for tests: the menu is about to open

private:
    Handlers handlers_;
};
