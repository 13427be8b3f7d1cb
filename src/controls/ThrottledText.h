#pragma once
// A label that takes its text on every entry of a walk but is redrawn at most once every
// kIntervalMs: laying out and painting a text costs far more than a directory entry. The
// control shows a text at once when the last one shown is older than the interval; otherwise
// the text waits, and the control shows it when its timer of kIntervalMs fires, so the last
// text of a walk is always the one left on screen.

#include <cstdint>
#include <optional>
#include <string>

class ThrottledText {
public:
    static constexpr int kIntervalMs = 20;

    // A new text at `nowMs` (a millisecond clock). True when the control is to show it now;
    // false when it waits (the control then makes sure its timer runs) or when it is the text
    // on screen already (a walk repeats "Copiando: ..." until the next megabyte).
    bool Offer(const std::string& text, std::int64_t nowMs);
    // At the timer's tick: the waiting text, which the control now shows, once the interval
    // since the last text shown has passed. A timer that fires early gets nothing: the text
    // still waits, and the control runs its timer again.
    std::optional<std::string> TakeWaiting(std::int64_t nowMs);

    bool Waiting() const { return waiting_; }
    // The latest text given, shown or not.
    const std::string& Text() const { return text_; }

private:
    std::string text_;
    bool waiting_ = false;
    std::optional<std::int64_t> shownAt_;
};
