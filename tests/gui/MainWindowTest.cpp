// The real window on the offscreen platform, with real settings files, folders and an embedded
// Firebird database.

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QStyleOptionButton>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>

#include "controls/MessagePace.h"
#include "database/Errors.h"
#include "gui/WindowWorld.h"
#include "platform/Files.h"
#include "platform/Profile.h"
#include "qt/AppErrors.h"
#include "qt/UPrincipal.h"
#include "qt/widgets/Fonts.h"
#include "support/BackupWorld.h"
#include "support/FixedClock.h"

namespace {

// Message boxes are recorded, not shown.
class RecordedBoxes {
public:
    RecordedBoxes() {
        app::SetMessageBoxHook([this](const app::MessageBoxShown& box) { shown.push_back(box); });
    }
    ~RecordedBoxes() { app::SetMessageBoxHook(nullptr); }
    std::vector<app::MessageBoxShown> shown;
};

std::string Text(const QWidget* widget) {
    if (auto* label = qobject_cast<const QLabel*>(widget)) return label->text().toStdString();
    if (auto* button = qobject_cast<const QAbstractButton*>(widget))
        return button->text().toStdString();
    if (auto* group = qobject_cast<const QGroupBox*>(widget)) return group->title().toStdString();
    if (auto* edit = qobject_cast<const MaskedTimeEdit*>(widget)) return edit->Text();
    return "";
}

TransparentImage* Image(const TFrmPrincipal& window, ControlId id) {
    return static_cast<TransparentImage*>(window.Control(id));
}

bool SamePicture(const TransparentImage* a, const TransparentImage* b) {
    return a->Picture().cacheKey() == b->Picture().cacheKey();
}

// The window's progress lines on a millisecond clock that the test moves.
struct LineClock {
    explicit LineClock(TFrmPrincipal& window) {
        for (ThrottledLabel* line : {window.lblProgresso, window.lblDestino})
            line->SetClock([this] { return now; });
    }
    // What a line shows once the text it holds back, if any, has come: the interval passes and
    // its timer ticks.
    std::string Shown(ThrottledLabel* line) {
        now += ThrottledText::kIntervalMs;
        if (line->WaitingTimer().isActive()) line->ShowWaiting();
        return line->text().toStdString();
    }
    std::int64_t now = 1000;
};

// Counts the paint events of some widgets and the events posted to itself.
class EventCounter : public QObject {
public:
    explicit EventCounter(const std::vector<QWidget*>& widgets) {
        for (QWidget* widget : widgets) {
            widget->installEventFilter(this);
            paints[widget] = 0;
        }
    }
    std::map<QObject*, int> paints;
    int posted = 0;

protected:
    bool event(QEvent* event) override {
        if (event->type() != QEvent::User) return QObject::event(event);
        ++posted;
        return true;
    }
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) ++paints[watched];
        return false;
    }
};

}  // namespace

// The real widgets are the window's description, control by control. The window's size is the
// one place a user would notice at once, and is pinned here; the places of the controls are
// checked for what a user sees of them (TheControlsStandInsideTheWindowApartAndReadable).
TEST(MainWindowTest, EveryControlIsAsTheWindowsDescriptionSays) {
    TestFolder folder;  // no settings file
    RecordedBoxes boxes;
    TFrmPrincipal window(folder.Path("Duplora.ini"));
    EXPECT_EQ(FrmPrincipal, &window);
    EXPECT_EQ(window.windowTitle().toStdString(), "Duplora - Tavix Zadododa");
    EXPECT_EQ(window.size(), QSize(385, 273));
    EXPECT_EQ(window.minimumSize(), window.maximumSize());
    EXPECT_FALSE(window.windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(window.windowFlags() & Qt::WindowMinimizeButtonHint);

    for (const ControlDescription& c : kControls) {
        SCOPED_TRACE(c.name);
        const QWidget* widget = window.findChild<QWidget*>(QString::fromLatin1(c.name));
        ASSERT_NE(widget, nullptr);
        EXPECT_EQ(widget, window.Control(c.id));
        EXPECT_EQ(widget->parentWidget(), c.parent ? window.Control(*c.parent) : &window);
        EXPECT_EQ(widget->pos(), QPoint(c.rect.left, c.rect.top));
        if (c.rect.width > 0) {
            EXPECT_EQ(widget->size(), QSize(c.rect.width, c.rect.height));
        } else {
            EXPECT_EQ(widget->size(), widget->sizeHint());  // a label is sized to its text
        }
        if (c.kind != ControlKind::TimeField) {
            EXPECT_EQ(Text(widget), c.text);
        }
        EXPECT_EQ(widget->isEnabled(), c.enabled);
        EXPECT_EQ(widget->isHidden(), !c.visible);
        if (auto* box = qobject_cast<const QCheckBox*>(widget)) {
            EXPECT_EQ(box->isChecked(), c.checked);
        }
        EXPECT_EQ(widget->font().family(),
                  ResolvedFamily(QString::fromLatin1(FontOf(c.font).face)));
        EXPECT_EQ(widget->font().pixelSize(), FontOf(c.font).pixels);
    }

    EXPECT_EQ(window.edtHorario->Text(), "  :  ");
    EXPECT_EQ(window.edtHorario->displayText(), "__:__");
    EXPECT_DOUBLE_EQ(window.cxProgressBar1->Position(), 0);
    EXPECT_DOUBLE_EQ(window.cxProgressBar1->Maximum(), 100);
    EXPECT_FALSE(window.TmrExecutaDiario.isActive());
    EXPECT_EQ(window.TmrExecutaDiario.interval(), 30000);
    EXPECT_EQ(window.Tray.TimerPopup.interval(), 200);
    EXPECT_EQ(window.btnIniciarBackup->cursor().shape(), Qt::PointingHandCursor);
    EXPECT_TRUE(boxes.shown.empty());
}

// The daily box's caption and its focus frame end before the time field begins.
TEST(MainWindowTest, TheScheduleCaptionEndsBeforeTheTimeField) {
    TestFolder folder;
    TFrmPrincipal window(folder.Path("Duplora.ini"));
    window.show();
    QStyleOptionButton option;
    option.initFrom(window.chkDiario);
    option.text = window.chkDiario->text();
    const QStyle* style = window.chkDiario->style();
    const QRect focus =
        style->subElementRect(QStyle::SE_CheckBoxFocusRect, &option, window.chkDiario);
    const QRect text = option.fontMetrics.boundingRect(
        style->subElementRect(QStyle::SE_CheckBoxContents, &option, window.chkDiario),
        Qt::AlignLeft | Qt::AlignVCenter, option.text);
    const int fieldLeft = window.edtHorario->x() - window.chkDiario->x();
    // The text clear of the field, and a pixel at least between its focus frame and the field.
    EXPECT_LT(text.right() + 2, fieldLeft) << text.right();
    EXPECT_LT(focus.right() + 1, fieldLeft) << focus.right();
}

namespace {

// The place of `widget` in the window's client area.
QRect InWindow(const QWidget* widget) {
    return QRect(widget->mapTo(widget->window(), QPoint(0, 0)), widget->size());
}

// The widgets a user sees, named as the description names them.
std::vector<QWidget*> ShownControls(TFrmPrincipal& window) {
    std::vector<QWidget*> shown;
    for (const ControlDescription& c : kControls)
        if (window.Control(c.id)->isVisibleTo(&window)) shown.push_back(window.Control(c.id));
    return shown;
}

std::string Name(const QWidget* widget) { return widget->objectName().toStdString(); }

// Where a check box draws its caption, in the box's own coordinates.
QRect CaptionOf(const QCheckBox* box) {
    QStyleOptionButton option;
    option.initFrom(box);
    option.text = box->text();
    const QRect contents = box->style()->subElementRect(QStyle::SE_CheckBoxContents, &option, box);
    return option.fontMetrics.boundingRect(contents, Qt::AlignLeft | Qt::AlignVCenter, option.text);
}

// `widgets` in the order a user reads them: row by row from the top, each row from the left; two
// controls are in one row when they stand side by side (their heights overlap).
std::vector<QWidget*> ReadingOrder(std::vector<QWidget*> widgets) {
    std::sort(widgets.begin(), widgets.end(), [](const QWidget* a, const QWidget* b) {
        return InWindow(a).top() < InWindow(b).top();
    });
    std::vector<std::vector<QWidget*>> rows;
    for (QWidget* widget : widgets) {
        const QRect place = InWindow(widget);
        if (rows.empty() || InWindow(rows.back().front()).bottom() < place.top())
            rows.emplace_back();
        rows.back().push_back(widget);
    }
    std::vector<QWidget*> order;
    for (auto& row : rows) {
        std::sort(row.begin(), row.end(), [](const QWidget* a, const QWidget* b) {
            return InWindow(a).left() < InWindow(b).left();
        });
        order.insert(order.end(), row.begin(), row.end());
    }
    return order;
}

}  // namespace

// What a user sees of the layout: every control inside its container and the window, no two
// side by side controls over one another, each caption whole within its control, and each step's
// picture beside its step's box, top to bottom in the steps' order.
TEST(MainWindowTest, TheControlsStandInsideTheWindowApartAndReadable) {
    TestFolder folder;
    folder.Write("Duplora.ini", "[CONFIG]\r\ndiario=S\r\nhorario=07:30\r\n");
    TFrmPrincipal window(folder.Path("Duplora.ini"));
    window.show();
    const std::vector<QWidget*> shown = ShownControls(window);
    ASSERT_FALSE(shown.empty());
    for (const QWidget* widget : shown) {
        SCOPED_TRACE(Name(widget));
        const QWidget* parent = widget->parentWidget();
        EXPECT_TRUE(parent->rect().contains(widget->geometry())) << "outside its container";
        EXPECT_TRUE(window.rect().contains(InWindow(widget))) << "outside the window";
        for (const QWidget* other : shown) {
            if (other == widget || other->parentWidget() != parent) continue;
            EXPECT_FALSE(widget->geometry().intersects(other->geometry()))
                << "over " << Name(other);
        }
        if (auto* box = qobject_cast<const QCheckBox*>(widget)) {
            if (!box->text().isEmpty())
                EXPECT_TRUE(box->rect().contains(CaptionOf(box))) << "its caption is cut";
        } else if (qobject_cast<const QAbstractButton*>(widget)) {
            EXPECT_LE(widget->sizeHint().width(), widget->width()) << "its caption is cut";
        }
    }

    std::vector<QWidget*> stepImages, stepBoxes;
    for (int step = 1; step <= kStepCount; ++step)
        stepImages.push_back(window.Control(StepImage(step)));
    for (const QWidget* image : stepImages) {
        const QRect picture = InWindow(image);
        QWidget* box = nullptr;
        for (QWidget* widget : shown)
            if (qobject_cast<const QCheckBox*>(widget) &&
                InWindow(widget).left() > picture.right() &&
                InWindow(widget).top() <= picture.center().y() &&
                picture.center().y() <= InWindow(widget).bottom())
                box = widget;
        ASSERT_NE(box, nullptr) << Name(image) << ": no box beside it";
        stepBoxes.push_back(box);
    }
    EXPECT_EQ(ReadingOrder(stepImages), stepImages);
    EXPECT_EQ(std::set<QWidget*>(stepBoxes.begin(), stepBoxes.end()).size(), stepBoxes.size());
}

// Tab reaches every control a user can use, once each, in the order the user reads them.
TEST(MainWindowTest, TabOrderRunsThroughTheUsableControlsAsTheyAreRead) {
    TestFolder folder;
    folder.Write("Duplora.ini", "[CONFIG]\r\ndiario=S\r\nhorario=07:30\r\n");
    TFrmPrincipal window(folder.Path("Duplora.ini"));
    window.show();
    std::vector<QWidget*> usable;
    for (QWidget* widget : ShownControls(window))
        if ((widget->focusPolicy() & Qt::TabFocus) && widget->isEnabled()) usable.push_back(widget);
    ASSERT_FALSE(usable.empty());

    std::vector<std::string> reached;
    for (QWidget* widget = window.nextInFocusChain(); widget != &window;
         widget = widget->nextInFocusChain())
        if (std::find(usable.begin(), usable.end(), widget) != usable.end())
            reached.push_back(Name(widget));
    std::vector<std::string> read;
    for (const QWidget* widget : ReadingOrder(usable)) read.push_back(Name(widget));
    EXPECT_EQ(reached, read);
}

TEST(MainWindowTest, StepPicturesArePendingAfterStartUp) {
    TestFolder folder;
    TFrmPrincipal window(folder.Path("Duplora.ini"));
    for (int step = 1; step <= kStepCount; ++step)
        EXPECT_TRUE(
            SamePicture(Image(window, StepImage(step)), Image(window, ControlId::imgPendende)))
            << Step(step).image;
    EXPECT_EQ(window.windowIcon().cacheKey(), window.ImgIcone1.cacheKey());
}

TEST(MainWindowTest, ARunStartedByTheButtonDisablesExactlyItsControls) {
    WindowWorld world;
    RecordedBoxes boxes;
    TFrmPrincipal window(world.IniFile());
    LineClock clock(window);
    window.show();

    struct DuringRun {
        bool start, menuItem, close, schedule, hide, options, busyIcon;
    };
    std::optional<DuringRun> seen;
    QTimer probe;  // fires inside the run's message processing
    QObject::connect(&probe, &QTimer::timeout, [&] {
        if (!window.Form.RunInProgress() || seen) return;
        seen = DuringRun{window.btnIniciarBackup->isEnabled(),
                         window.Tray.Item(ControlId::MenuIniciarBackup)->isEnabled(),
                         window.btnFechar->isEnabled(),
                         window.grpAgendamento->isEnabled(),
                         window.btnOcultar->isEnabled(),
                         window.Control(StepBox(2))->isEnabled() &&
                             window.Control(StepBox(3))->isEnabled() &&
                             window.Control(StepBox(4))->isEnabled(),
                         window.Tray.Icon.icon().cacheKey() == window.ImgIcone2.cacheKey()};
    });
    probe.start(0);
    QTest::mouseClick(window.btnIniciarBackup, Qt::LeftButton);
    probe.stop();

    ASSERT_TRUE(seen);
    EXPECT_FALSE(seen->start || seen->menuItem || seen->close || seen->schedule);
    EXPECT_TRUE(seen->hide && seen->options && seen->busyIcon);
    for (int step = 1; step <= kStepCount; ++step)
        EXPECT_TRUE(SamePicture(Image(window, StepImage(step)), Image(window, ControlId::imgOk)));
    EXPECT_EQ(clock.Shown(window.lblProgresso).rfind("Backup finalizado as ", 0), 0u);
    EXPECT_EQ(clock.Shown(window.lblDestino), "");
    EXPECT_TRUE(window.btnIniciarBackup->isEnabled() &&
                window.Tray.Item(ControlId::MenuIniciarBackup)->isEnabled() &&
                window.btnFechar->isEnabled() && window.grpAgendamento->isEnabled());
    EXPECT_EQ(window.Tray.Icon.icon().cacheKey(), window.ImgIcone1.cacheKey());
    EXPECT_EQ(window.windowIcon().cacheKey(),
              window.ImgIcone1.cacheKey());  // the title bar's never changes
    EXPECT_DOUBLE_EQ(window.cxProgressBar1->Position(), window.cxProgressBar1->Maximum());
    EXPECT_EQ(window.cxProgressBar1->BarColor(), QColor(0, 0, 128));
    EXPECT_TRUE(world.Copied("c:/Tavix/Sonvira/player.ini"));
    EXPECT_TRUE(world.Copied("d:/Musicas/Rock/a.mp3"));
    EXPECT_TRUE(boxes.shown.empty());
}

// A walk gives the window new texts and a bar position for every entry, then lets it process
// its messages. The window handles them by time (MessagePace, on a clock that moves with the
// walk), and lays out and paints each progress line at most once per interval of the line's
// clock, paints the bar only when its drawing changes, and ends on the walk's last texts.
TEST(MainWindowTest, AWalkPaintsTheProgressLinesOncePerIntervalAndEndsOnItsLastTexts) {
    TestFolder folder;
    ManualSteadyClock paceClock;
    TFrmPrincipal window(folder.Path("Duplora.ini"), nullptr, &paceClock);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    QCoreApplication::processEvents();  // the first paint
    LineClock clock(window);
    window.cxProgressBar1->GlintTimer().stop();  // the bar changes only as the walk moves it
    EventCounter events({window.lblProgresso, window.lblDestino, window.cxProgressBar1});
    ProgressView& view = window.Form.Progress();

    constexpr int kEntries = 1000;
    constexpr int kWalkMs = 50;
    std::string destination;
    int rounds = 0;  // the times the window processed its messages
    for (int entry = 1; entry <= kEntries; ++entry) {
        destination = "C:\\Reserva\\arquivo_" + std::to_string(entry) + ".dat";
        // The destination line changes with every entry; the bar stays half filled.
        view.MirrorProgress(500 + entry / 1000.0, 1000, destination);
        QCoreApplication::postEvent(&events, new QEvent(QEvent::User));
        const int handled = events.posted;
        view.ProcessMessages();
        rounds += events.posted != handled;
        paceClock.now += std::chrono::nanoseconds(std::chrono::milliseconds(kWalkMs)) / kEntries;
        if (entry % (kEntries / kWalkMs) == 0) ++clock.now;
    }
    EXPECT_LE(rounds, 1 + kWalkMs / MessagePace::kPeriod.count());  // by time, not by entry
    // The messages of the last entries come once the pace allows.
    paceClock.now += MessagePace::kPeriod;
    view.ProcessMessages();
    EXPECT_EQ(events.posted, kEntries);
    for (ThrottledLabel* line : {window.lblProgresso, window.lblDestino})
        EXPECT_LE(events.paints[line], 1 + kWalkMs / ThrottledText::kIntervalMs)
            << line->objectName().toStdString();
    EXPECT_EQ(events.paints[window.cxProgressBar1], 1);  // half filled at the first entry

    // The last texts come with the next tick of the lines' timers.
    EXPECT_EQ(clock.Shown(window.lblProgresso), "Copiando: 501 MB de 1000 MB");
    EXPECT_EQ(clock.Shown(window.lblDestino), destination);
    EXPECT_EQ(window.lblDestino->size(), window.lblDestino->sizeHint());  // sized to its text
}

TEST(MainWindowTest, TheScheduleRoundTripsThroughTheSettingsFile) {
    WindowWorld world("[CONFIG]\r\ndiario=S\r\nhorario=07:30\r\n");
    RecordedBoxes boxes;
    auto window = std::make_unique<TFrmPrincipal>(world.IniFile());
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    EXPECT_TRUE(window->chkDiario->isChecked());
    EXPECT_TRUE(window->edtHorario->isEnabled());
    EXPECT_EQ(window->edtHorario->Text(), "07:30");
    EXPECT_TRUE(window->TmrExecutaDiario.isActive());

    window->edtHorario->setFocus();
    window->activateWindow();
    QApplication::processEvents();
    window->Form.edtHorario.SetCursor(0);
    QTest::keyClicks(window->edtHorario, "0815");
    EXPECT_EQ(window->edtHorario->displayText(), "08:15");
    QTest::keyClick(window->edtHorario, Qt::Key_Tab);  // leaving saves
    EXPECT_EQ(world.Ini("CONFIG", "horario"), "08:15");

    window->chkDiario->click();  // reaches the file when the window closes
    EXPECT_FALSE(window->TmrExecutaDiario.isActive());
    EXPECT_EQ(world.Ini("CONFIG", "diario"), "S");
    EXPECT_TRUE(window->close());
    EXPECT_EQ(world.Ini("CONFIG", "diario"), "N");
    EXPECT_EQ(world.Ini("BANCO", "CAMINHO"), world.db->EmbeddedName());  // never written
    EXPECT_TRUE(boxes.shown.empty());
}

TEST(MainWindowTest, AWrongTimeKeepsTheFocusAndSavesNothing) {
    WindowWorld world("[CONFIG]\r\ndiario=S\r\nhorario=07:30\r\n");
    RecordedBoxes boxes;
    TFrmPrincipal window(world.IniFile());
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    window.activateWindow();
    struct Case {
        const char* typed;
        std::string message;
    };
    const Case cases[] = {
        {"2500", "A hora informada não é válida."},
        {"1", "Invalid input value.  Use escape key to abandon changes."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        boxes.shown.clear();
        window.edtHorario->setFocus();
        QApplication::processEvents();
        window.Form.edtHorario.SetText("");
        window.Form.edtHorario.FocusIn();
        window.edtHorario->Refresh();
        QTest::keyClicks(window.edtHorario, c.typed);
        // A click towards "Fechar", through the native window as the system delivers it, is held
        // back while the field refuses to be left.
        QTest::mouseClick(window.windowHandle(), Qt::LeftButton, {},
                          window.btnFechar->mapTo(&window, window.btnFechar->rect().center()));
        EXPECT_TRUE(window.isVisible());
        EXPECT_TRUE(window.edtHorario->hasFocus());
        ASSERT_EQ(boxes.shown.size(), 1u);
        EXPECT_EQ(boxes.shown[0].text, c.message);
        EXPECT_EQ(world.Ini("CONFIG", "horario"), "07:30");  // nothing saved
    }
}

TEST(MainWindowTest, AFailedSaveKeepsTheWindowOpenAndShowsWhyOnceTheCloseHasReturned) {
    WindowWorld world;
    RecordedBoxes boxes;
    TFrmPrincipal window(world.IniFile());
    window.show();
    platform::SetAttributes(world.IniFile(), platform::kAttrReadOnly);
    EXPECT_FALSE(window.close());
    EXPECT_TRUE(window.isVisible());
    EXPECT_TRUE(boxes.shown.empty());  // never inside the close event
    QApplication::processEvents();
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].kind, MessageKind::Error);
    EXPECT_EQ(boxes.shown[0].caption, "Duplora - Tavix Zadododa");
    EXPECT_EQ(boxes.shown[0].text, "Unable to write to " + world.IniFile() + ".");
    platform::SetAttributes(world.IniFile(), platform::kAttrArchive);
}

TEST(MainWindowTest, ClosingDuringARunSavesAtOnceAndEndsTheProcessAfterTheRun) {
    WindowWorld world("[CONFIG]\r\ndiario=S\r\nhorario=07:30\r\n");
    RecordedBoxes boxes;
    TFrmPrincipal window(world.IniFile());
    window.show();
    bool closedDuringRun = false, visibleAfterClose = false;
    std::string savedDuringRun;
    QTimer probe;
    QObject::connect(&probe, &QTimer::timeout, [&] {
        if (!window.Form.RunInProgress() || closedDuringRun) return;
        closedDuringRun = true;
        window.chkDiario->setChecked(
            false);      // the group is disabled, but the box still holds a state
        window.close();  // the close box
        visibleAfterClose = window.isVisible();
        savedDuringRun = world.Ini("CONFIG", "diario");
    });
    probe.start(0);
    QTimer::singleShot(0, &window, [&] { window.btnIniciarBackup->click(); });
    EXPECT_EQ(QApplication::exec(), 0);  // the loop ends once the run has returned
    probe.stop();
    EXPECT_TRUE(closedDuringRun);
    EXPECT_TRUE(visibleAfterClose);
    EXPECT_EQ(savedDuringRun, "N");
    EXPECT_TRUE(world.Copied("d:/Musicas/b.mp3"));  // the run went on to its end
    EXPECT_TRUE(boxes.shown.empty());
}

TEST(MainWindowTest, HideAndShowGoThroughTheOneWindow) {
    TestFolder folder;
    TFrmPrincipal window(folder.Path("Duplora.ini"));
    window.show();
    window.btnOcultar->click();
    EXPECT_FALSE(window.isVisible());
    window.Form.MenuOcultar_RestaurarClick();
    EXPECT_TRUE(window.isVisible());
}

TEST(MessageBoxTest, ABoxWithAShortTextIsWideEnoughForItsCaption) {
    const std::string caption = "Duplora - Tavix Zadododa";
    const auto box = app::MakeMessageBox(MessageKind::Information, caption, "Fim.");
    box->show();
    const int captionWidth = QFontMetrics(QApplication::font("QMdiSubWindowTitleBar"))
                                 .horizontalAdvance(QString::fromUtf8(caption));
    EXPECT_GT(box->width(), captionWidth + 64);
}
