// The jobs of BenchJobs.h through the real main window, TFrmPrincipal on Qt, shown (on the
// offscreen platform under bench/run.py): what a user's run costs. The window is created and
// shown before the jobs start, as it stands open before a run; its start-up is reported apart.
#include <QApplication>
#include <QElapsedTimer>
#include <QWindow>
#include <chrono>
#include <cstdio>
#include <initializer_list>
#include <map>
#include <string>

#include "BenchJobs.h"
#include "qt/UPrincipal.h"

namespace {

// Counts the paint events of the controls a walk writes to.
class PaintCounter : public QObject {
public:
    explicit PaintCounter(std::initializer_list<QWidget*> widgets) {
        for (QWidget* widget : widgets) {
            widget->installEventFilter(this);
            counts_[widget] = 0;
        }
    }
    int Paints(QWidget* widget) const { return counts_.at(widget); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) ++counts_[static_cast<QWidget*>(watched)];
        return false;
    }

private:
    std::map<QWidget*, int> counts_;
};

// Lets the event loop run until `done` holds or `limitMs` has passed.
template <class Condition>
bool ProcessEventsUntil(Condition done, int limitMs) {
    QElapsedTimer elapsed;
    elapsed.start();
    while (!done()) {
        if (elapsed.hasExpired(limitMs)) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 5);
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    const auto started = std::chrono::steady_clock::now();
    QApplication application(argc, argv);
    QApplication::setStyle(QStringLiteral("Windows"));  // as the program does
    QApplication::setQuitOnLastWindowClosed(false);
    const auto jobs = bench::ParseJobs(argc, argv);
    if (!jobs) return 2;

    // No settings file beside the bench program: the window starts with its layout defaults.
    TFrmPrincipal window;
    window.show();
    if (!ProcessEventsUntil([&] { return window.windowHandle()->isExposed(); }, 10000)) {
        std::fprintf(stderr, "duplora_bench_window: the window was never shown\n");
        return 3;
    }
    QCoreApplication::processEvents();  // its first paint
    bench::Print("startup_seconds",
                 std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count());

    const std::initializer_list<QWidget*> walked{window.lblProgresso, window.lblDestino,
                                                 window.cxProgressBar1};
    PaintCounter paints(walked);
    const bench::Outcome outcome = bench::Run(*jobs, window.Form.Progress());
    bench::Print("run_seconds", outcome.seconds);
    for (QWidget* widget : walked)
        bench::Print(("paints_" + widget->objectName().toStdString()).c_str(),
                     paints.Paints(widget));

    // The labels must end on the walk's last texts.
    const std::string last = window.lblDestino->LatestText();
    if (!ProcessEventsUntil([&] { return window.lblDestino->text().toStdString() == last; },
                            1000)) {
        std::fprintf(stderr, "duplora_bench_window: lblDestino does not show the last text\n");
        return 4;
    }
    std::fprintf(stderr, "duplora_bench_window: %s | %s, %.1f of %.1f MB\n",
                 window.lblProgresso->text().toUtf8().constData(), last.c_str(), outcome.copiedMB,
                 outcome.totalMB);
    return outcome.complete ? 0 : 1;
}
