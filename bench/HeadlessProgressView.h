#pragma once
// The main window's progress display without a window: it keeps what the labels and the bar
// would hold, and processes messages as the windows do, at their pace (MessagePace), the way an
// event loop does one step: on POSIX a poll() on its wake-up descriptor that does not wait, on
// Windows a PeekMessage loop. So the engine pays what it pays under a window, and the window's
// own cost is what a window adds to this.

#include <cstdint>
#include <string>

#include "controls/MessagePace.h"
#include "engine/ProgressView.h"

class HeadlessProgressView : public ProgressView {
public:
    HeadlessProgressView();
    ~HeadlessProgressView() override;
    HeadlessProgressView(const HeadlessProgressView&) = delete;
    HeadlessProgressView& operator=(const HeadlessProgressView&) = delete;

    // What the window's logic makes of a walk's report (the two texts, as MainForm formats them,
    // and the bar), kept as the controls would keep it.
    void MirrorProgress(double copiedMB, double totalMB,
                        const std::string& destinationFile) override;
    void ProcessMessages() override;

    std::uint64_t MessageSteps() const { return steps_; }
    int BarPixels() const { return barPixels_; }

private:
    int wakeFd_ = -1;              // POSIX
    std::string text_;             // the texts as formatted, before a label takes them
    std::u16string progressText_;  // a label holds UTF-16 text
    std::u16string destinationText_;
    double maximum_ = 0;
    double position_ = 0;
    int barPixels_ = 0;  // the filled width the bar would paint
    std::uint64_t steps_ = 0;
    MessagePace pace_;
};
