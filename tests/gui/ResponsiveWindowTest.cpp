// The window during a long walk: it processes its messages by time, not after every entry, and
// still handles a click while the walk goes on. The pace's clock is the test's: it moves a
// quarter of the pace's period at every reading, as if each entry took that long.

#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "controls/MessagePace.h"
#include "gui/WindowWorld.h"
#include "qt/UPrincipal.h"
#include "support/FixedClock.h"

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

// Calls `onHide` when the watched widget is hidden.
class HideWatcher : public QObject {
public:
    HideWatcher(QWidget* widget, std::function<void()> onHide) : onHide_(std::move(onHide)) {
        widget->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Hide) onHide_();
        return false;
    }

private:
    std::function<void()> onHide_;
};

}  // namespace

// "Ocultar" is clicked once the system folder's mirror has copied some of its files; the window
// hides within 20 ms of the pace's clock, before the mirror has copied them all, and the run goes
// on to its end.
TEST(ResponsiveWindowTest, AClickDuringALongWalkIsHandledWhileTheWalkGoesOn) {
    WindowWorld world;
    for (int i = 0; i < kSystemFiles; ++i)
        world.folder.Write("dosdevices/unc/srv01/c/Tavix/Lote/f" + std::to_string(i) + ".ini", "x",
                           BackupWorld::kSourceTime);
    const std::filesystem::path copies = world.folder.Host("dosdevices/c:/Tavix/Lote");
    ManualSteadyClock paceClock;
    paceClock.perRead = MessagePace::kPeriod / 4;
    TFrmPrincipal window(world.IniFile(), nullptr, &paceClock);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));

    std::optional<long long> clickedAt;  // the pace's clock readings
    std::optional<long long> hiddenAt;
    std::optional<long long> copiedWhenHidden;
    HideWatcher watcher(&window, [&] {
        hiddenAt = paceClock.reads;
        copiedWhenHidden = FilesIn(copies);
    });
    QTimer probe;  // fires whenever the run lets the window process its messages
    QObject::connect(&probe, &QTimer::timeout, [&] {
        if (!clickedAt && window.Form.RunInProgress() && FilesIn(copies) > 0) {
            QueueClick(window.btnOcultar);
            clickedAt = paceClock.reads;
        }
    });
    probe.start(0);
    QTest::mouseClick(window.btnIniciarBackup, Qt::LeftButton);
    probe.stop();

    ASSERT_TRUE(clickedAt) << "the walk never let the window process its messages";
    ASSERT_TRUE(hiddenAt) << "the click was not handled during the run";
    EXPECT_LE((*hiddenAt - *clickedAt) * paceClock.perRead, std::chrono::milliseconds(20));
    EXPECT_LT(*copiedWhenHidden, kSystemFiles);
    EXPECT_TRUE(window.isHidden());
    EXPECT_EQ(FilesIn(copies), kSystemFiles);
    EXPECT_TRUE(world.Copied("d:/Musicas/Rock/a.mp3"));
}
