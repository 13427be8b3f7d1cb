#include "qt/widgets/ThrottledLabel.h"

#include <chrono>

namespace {

std::int64_t SteadyMilliseconds() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

}  // namespace

ThrottledLabel::ThrottledLabel(const QString& text, QWidget* parent)
    : QLabel(text, parent), clock_(SteadyMilliseconds) {
    adjustSize();
    waitingTimer_.setSingleShot(true);
    waitingTimer_.setInterval(ThrottledText::kIntervalMs);
    connect(&waitingTimer_, &QTimer::timeout, this, &ThrottledLabel::ShowWaiting);
}

void ThrottledLabel::SetText(const std::string& text) {
    if (text_.Offer(text, clock_()))
        Show(text);
    else if (!waitingTimer_.isActive())  // restarting a running timer costs a timer registration
        waitingTimer_.start();
}

void ThrottledLabel::ShowWaiting() {
    if (auto text = text_.TakeWaiting(clock_()))
        Show(*text);
    else if (text_.Waiting())  // the timer came early
        waitingTimer_.start();
}

void ThrottledLabel::Show(const std::string& text) {
    setText(QString::fromUtf8(text));
    adjustSize();
}
