// The window during a long walk: it processes its messages by time, not after every entry, and
// still handles a click while the walk goes on.

#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <optional>
#include <string>

#include "UPrincipal.h"
#include "gui/WindowWorld.h"

namespace {

constexpr int kSystemFiles = 3000;

long long FilesIn(const std::filesystem::path& folder) {
    if (!std::filesystem::is_directory(folder)) return 0;
    return std::distance(std::filesystem::directory_iterator(folder), {});
}

// A press and a release of the left button in the middle of `widget`, queued as the system
// queues them: handled when the window next processes its messages.
void QueueClick(QWidget* widget) {
    const QPointF local(widget->width() / 2.0, widget->height() / 2.0);
    const QPointF global = widget->mapToGlobal(local);
    for (const QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        const Qt::MouseButtons held =
            type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton;
        QCoreApplication::postEvent(
            widget, new QMouseEvent(type, local, global, Qt::LeftButton, held, Qt::NoModifier));
    }
}

}  // namespace

// "Ocultar" is clicked once the system folder's mirror has copied some of its files; the window
// hides before the mirror has copied them all, and the run goes on to its end.
TEST(ResponsiveWindowTest, AClickDuringALongWalkIsHandledWhileTheWalkGoesOn) {
    WindowWorld world;
    for (int i = 0; i < kSystemFiles; ++i)
        world.folder.Write("dosdevices/unc/srv01/c/Tavix/Lote/f" + std::to_string(i) + ".ini", "x",
                           BackupWorld::kSourceTime);
    const std::filesystem::path copies = world.folder.Host("dosdevices/c:/Tavix/Lote");
    TFrmPrincipal window(world.IniFile());
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));

    bool clicked = false;
    std::optional<long long> copiedWhenHidden;
    QTimer probe;  // fires whenever the run lets the window process its messages
    QObject::connect(&probe, &QTimer::timeout, [&] {
        if (window.isHidden() && !copiedWhenHidden) copiedWhenHidden = FilesIn(copies);
        if (!clicked && window.Form.RunInProgress() && FilesIn(copies) > 0) {
            QueueClick(window.btnOcultar);
            clicked = true;
        }
    });
    probe.start(0);
    QTest::mouseClick(window.btnIniciarBackup, Qt::LeftButton);
    probe.stop();

    ASSERT_TRUE(clicked) << "the walk never let the window process its messages";
    ASSERT_TRUE(copiedWhenHidden) << "the click was not handled during the run";
    EXPECT_LT(*copiedWhenHidden, kSystemFiles);
    EXPECT_TRUE(window.isHidden());
    EXPECT_EQ(FilesIn(copies), kSystemFiles);
    EXPECT_TRUE(world.Copied("d:/Musicas/Rock/a.mp3"));
}
