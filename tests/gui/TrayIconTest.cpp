// What the Qt window adds to the notification-area icon's rules (which MainFormTest checks): how
// it reads Qt's activations, its timer, its menu and its icons; the real window on the offscreen
// platform.

#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <QTimer>

#include "qt/AppErrors.h"
#include "qt/UPrincipal.h"
#include "qt/WindowPictures.h"
#include "support/BackupWorld.h"

namespace {

bool SameIcon(const QIcon& a, const QIcon& b) { return a.cacheKey() == b.cacheKey(); }

// An item's picture is `picture`, pixel for pixel, at the menu's 16 pixels.
bool Shows(const QAction* item, Picture picture) {
    return item->icon().pixmap(16).toImage() == LoadIcon(picture).pixmap(16).toImage();
}

const TransparentImage* Image(const TFrmPrincipal& window, ControlId id) {
    return static_cast<const TransparentImage*>(window.Control(id));
}

// Closes the tray menu shortly after each time it opens, counting the openings.
struct MenuCloser {
    explicit MenuCloser(TrayIcon& tray) {
        QObject::connect(&tray, &TrayIcon::MenuAboutToPopUp, [this, &tray] {
            ++opened;
            QTimer::singleShot(20, &tray.PopupTrayIcon, [&tray] { tray.PopupTrayIcon.close(); });
        });
    }
    int opened = 0;
};

}  // namespace

// How the Qt window turns Qt's activation reasons into the clicks the window logic takes (whose
// rules MainFormTest checks): Trigger is a left click, which toggles the window; Context a right
// click, which arms TimerPopup; DoubleClick, the middle button and an unknown reason change
// nothing.
TEST(TrayIconTest, QtsActivationReasonsAreTheLogicsClicks) {
    TestFolder folder;
    TFrmPrincipal window(folder.Path("Duplora.ini"));
    window.show();
    QTimer& timer = window.Tray.TimerPopup;
    struct Case {
        QSystemTrayIcon::ActivationReason reason;
        bool visibleAfter;
        bool menuArmed;
    };
    const Case cases[] = {
        {QSystemTrayIcon::Trigger, false, false},     {QSystemTrayIcon::Trigger, true, false},
        {QSystemTrayIcon::DoubleClick, true, false},  {QSystemTrayIcon::MiddleClick, true, false},
        {QSystemTrayIcon::Unknown, true, false},      {QSystemTrayIcon::Trigger, false, false},
        {QSystemTrayIcon::DoubleClick, false, false}, {QSystemTrayIcon::Context, false, true},
    };
    for (const Case& c : cases) {
        emit window.Tray.Icon.activated(c.reason);
        EXPECT_EQ(window.isVisible(), c.visibleAfter) << c.reason;
        EXPECT_EQ(timer.isActive(), c.menuArmed) << c.reason;
    }
}

// Two right presses before TimerPopup's tick: the tick, 200 ms after the first, opens the menu
// once (not the press itself), and the timer stays off until the next right press.
TEST(TrayIconTest, TwoRightPressesBeforeTheTickGiveOneMenu) {
    TestFolder folder;
    TFrmPrincipal window(folder.Path("Duplora.ini"));
    window.show();
    MenuCloser closer(window.Tray);
    QTimer& timer = window.Tray.TimerPopup;
    emit window.Tray.Icon.activated(QSystemTrayIcon::Context);
    EXPECT_EQ(timer.interval(), 200);
    const int remaining = timer.remainingTime();
    emit window.Tray.Icon.activated(QSystemTrayIcon::Context);  // does not start the 200 ms again
    EXPECT_LE(timer.remainingTime(), remaining);
    EXPECT_EQ(closer.opened, 0);
    EXPECT_TRUE(QTest::qWaitFor([&] { return closer.opened > 0; }, 5000)) << "no menu";
    EXPECT_FALSE(timer.isActive());
    QCoreApplication::processEvents();
    EXPECT_EQ(closer.opened, 1);
}

TEST(TrayIconTest, TheThirdItemFollowsTheWindowAtEveryPopup) {
    TestFolder folder;
    TFrmPrincipal window(folder.Path("Duplora.ini"));
    TrayIcon& tray = window.Tray;
    QAction* start = tray.Item(ControlId::MenuIniciarBackup);
    QAction* hideShow = tray.Item(ControlId::MenuOcultar_Restaurar);
    QAction* close = tray.Item(ControlId::Fechar1);
    const QList<QAction*> items = tray.PopupTrayIcon.actions();
    ASSERT_EQ(items.size(), 5);
    EXPECT_EQ(items, (QList<QAction*>{start, items[1], hideShow, items[3], close}));
    EXPECT_TRUE(items[1]->isSeparator() && items[3]->isSeparator());
    EXPECT_EQ(items[1]->objectName(), "N2");
    EXPECT_EQ(start->text(), "Iniciar Backup");
    EXPECT_EQ(close->text(), "Fechar");
    EXPECT_TRUE(Shows(start, Picture::TrayIniciarBackup));
    EXPECT_TRUE(Shows(close, Picture::TrayFechar));

    window.show();
    window.Form.PopupTrayIconPopup();
    EXPECT_EQ(hideShow->text(), "Ocultar");
    EXPECT_TRUE(Shows(hideShow, Picture::TrayOcultar));
    window.hide();
    window.Form.PopupTrayIconPopup();
    EXPECT_EQ(hideShow->text(), "Restaurar");
    EXPECT_TRUE(Shows(hideShow, Picture::TrayRestaurar));
    hideShow->trigger();  // "Restaurar" shows the window again
    EXPECT_TRUE(window.isVisible());
}

TEST(TrayIconTest, TheIconIsBusyForTheWholeRunAndTheMenuKeepsFecharUsable) {
    for (const bool failAtStep4 : {false, true}) {
        SCOPED_TRACE(failAtStep4 ? "failed run" : "complete run");
        BackupWorld world;
        if (failAtStep4) world.MakeDatabase("", {});  // no Tb_Pastas: the folder query fails
        world.folder.Write("bin/Duplora.ini", "[BANCO]\r\nCAMINHO=" + world.db->EmbeddedName() +
                                                  "\r\n[SERVIDOR]\r\nPASTA_SISTEMA=" +
                                                  BackupWorld::kSystemFolder + "\r\n");
        app::SetMessageBoxHook(
            [](const app::MessageBoxShown&) { ADD_FAILURE() << "a message box"; });
        TFrmPrincipal window(world.folder.Path("bin/Duplora.ini"));
        TrayIcon& tray = window.Tray;
        window.show();
        EXPECT_EQ(tray.Icon.toolTip(), "Duplora - Tavix Zadododa");
        EXPECT_TRUE(SameIcon(tray.Icon.icon(), window.ImgIcone1));

        bool seen = false, busy = true, startItemEnabled = true, fecharEnabled = false;
        QTimer probe;
        QObject::connect(&probe, &QTimer::timeout, [&] {
            if (!window.Form.RunInProgress()) return;
            seen = true;
            busy = busy && SameIcon(tray.Icon.icon(), window.ImgIcone2) &&
                   SameIcon(QApplication::windowIcon(), window.ImgIcone2);
            startItemEnabled =
                startItemEnabled && tray.Item(ControlId::MenuIniciarBackup)->isEnabled();
            fecharEnabled = tray.Item(ControlId::Fechar1)->isEnabled() &&
                            tray.Item(ControlId::MenuOcultar_Restaurar)->isEnabled();
        });
        probe.start(0);
        window.btnIniciarBackup->click();
        probe.stop();
        app::SetMessageBoxHook(nullptr);

        EXPECT_TRUE(seen && busy && !startItemEnabled && fecharEnabled);
        EXPECT_EQ(Image(window, StepImage(4))->Picture().cacheKey(),
                  Image(window, failAtStep4 ? ControlId::imgErro : ControlId::imgOk)
                      ->Picture()
                      .cacheKey());
        EXPECT_TRUE(SameIcon(tray.Icon.icon(), window.ImgIcone1));
        EXPECT_TRUE(SameIcon(QApplication::windowIcon(), window.ImgIcone1));
        EXPECT_TRUE(tray.Item(ControlId::MenuIniciarBackup)->isEnabled());
        EXPECT_TRUE(tray.Icon.toolTip().startsWith(
            failAtStep4 ? "Duplora - Tavix Zadododa: backup interrompido no passo 4"
                        : "Duplora - Tavix Zadododa: último backup completo em "))
            << tray.Icon.toolTip().toStdString();
    }
}

// The menu opened as a right click opens it, its first item chosen with the keyboard.
TEST(TrayIconTest, ChoosingIniciarBackupInTheMenuRunsABackup) {
    BackupWorld world;
    world.folder.Write("bin/Duplora.ini", "[BANCO]\r\nCAMINHO=" + world.db->EmbeddedName() +
                                              "\r\n[SERVIDOR]\r\nPASTA_SISTEMA=" +
                                              BackupWorld::kSystemFolder + "\r\n");
    TFrmPrincipal window(world.folder.Path("bin/Duplora.ini"));
    window.show();
    QMenu& menu = window.Tray.PopupTrayIcon;
    QObject::connect(&window.Tray, &TrayIcon::MenuAboutToPopUp, [&menu] {
        QTimer::singleShot(20, &menu, [&menu] {
            QTest::keyClick(&menu, Qt::Key_Down);
            EXPECT_EQ(menu.activeAction(), menu.actions().at(0));
            QTest::keyClick(&menu, Qt::Key_Return);
        });
    });
    emit window.Tray.Icon.activated(QSystemTrayIcon::Context);
    window.Form.TimerPopupTimer();  // the tick, without waiting for it
    EXPECT_TRUE(world.Copied("d:/Musicas/b.mp3"));
    EXPECT_EQ(Image(window, StepImage(4))->Picture().cacheKey(),
              Image(window, ControlId::imgOk)->Picture().cacheKey());
    EXPECT_TRUE(window.Tray.Item(ControlId::MenuIniciarBackup)->isEnabled());
}
