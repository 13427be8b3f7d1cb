#pragma once
// The notification-area icon and its menu PopupTrayIcon, as Qt controls: the icon with the
// title as tooltip, the menu's items as the window's description lists them, with the pictures
// of ListaImagemTray, and TimerPopup. What a click on the icon does is the window logic's
// (MainForm::TrayIconClicked): Qt's activation reasons are reported as its clicks.

#include <QAction>
#include <QIcon>
#include <QMap>
#include <QMenu>
#include <QObject>
#include <QSystemTrayIcon>
#include <QTimer>

#include "controls/WindowLayout.h"
#include "mainform/MainForm.h"

class TrayIcon : public QObject {
    Q_OBJECT
public:
    explicit TrayIcon(QObject* parent = nullptr);

    // Adds the icon with `icon` and the tooltip; a platform without a notification area is no
    // error: Duplora runs on without it.
    void Install(const QIcon& icon);
    // A menu item of the description.
    QAction* Item(ControlId id) const { return items_.value(id); }
    // Shows the menu with its top-left corner at the cursor; returns when it closes.
    void PopupAtCursor();

    QSystemTrayIcon Icon;
    QMenu PopupTrayIcon;
    QTimer TimerPopup;  // armed by a right press

signals:
    // A click on the icon that the window logic is told of; Qt's other activations (the middle
    // button, an unknown reason) are not.
    void Clicked(TrayClick click);
    void MenuAboutToPopUp();  // for tests: the menu is about to open

private:
    QMap<ControlId, QAction*> items_;
};
