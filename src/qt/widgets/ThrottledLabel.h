#pragma once
// A label sized to its text whose text may change on every entry of a walk (lblProgresso,
// lblDestino). Laying out and painting a text costs far more than a directory entry, so
// ThrottledText decides when a text is shown: one given within ThrottledText::kIntervalMs of the
// last one shown waits, and a one-shot timer of that interval shows the latest. The label is laid
// out and painted at most once per interval and always ends on the last text given.

#include <QLabel>
#include <QTimer>
#include <cstdint>
#include <functional>
#include <string>

#include "controls/ThrottledText.h"

class ThrottledLabel : public QLabel {
    Q_OBJECT

public:
    // A count of milliseconds that never goes back.
    using MillisecondClock = std::function<std::int64_t()>;

    // Shows `text` at once; the steady clock of the system decides the interval.
    explicit ThrottledLabel(const QString& text, QWidget* parent = nullptr);

    // Takes the text: shows it now, or keeps it for the timer.
    void SetText(const std::string& text);
    // The latest text given to SetText, shown or about to be.
    const std::string& LatestText() const { return text_.Text(); }

    // The timer that shows a waiting text; ShowWaiting() is its tick.
    const QTimer& WaitingTimer() const { return waitingTimer_; }
    void ShowWaiting();

    // Tests drive the interval with a clock of their own.
    void SetClock(MillisecondClock clock) { clock_ = std::move(clock); }

private:
    void Show(const std::string& text);

    ThrottledText text_;
    QTimer waitingTimer_;
    MillisecondClock clock_;
};
