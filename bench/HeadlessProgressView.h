#pragma once
// The main window's progress display without a window: it keeps what the labels and the bar
// would hold, and processes messages the way an event loop does one step, with a poll() on its
// wake-up descriptor that does not wait. So the engine pays what it pays under the real window.

#include <cstdint>
#include <string>

#include "ProgressView.h"

class HeadlessProgressView : public ProgressView {
public:
    HeadlessProgressView();
    ~HeadlessProgressView() override;
    HeadlessProgressView(const HeadlessProgressView&) = delete;
    HeadlessProgressView& operator=(const HeadlessProgressView&) = delete;

    void SetProgressText(const std::string& text) override;
    void SetDestinationText(const std::string& text) override;
    void SetProgressBar(std::uint32_t beginColor, double maximum, double position) override;
    void ProcessMessages() override;

    // Posts a message, as another thread or a timer would.
    void Wake();

    std::uint64_t MessageSteps() const { return steps_; }
    std::uint64_t MessagesHandled() const { return handled_; }
    const std::u16string& ProgressText() const { return progressText_; }
    const std::u16string& DestinationText() const { return destinationText_; }
    int BarPixels() const { return barPixels_; }

private:
    int wakeFd_ = -1;
    std::u16string progressText_;  // a label holds UTF-16 text
    std::u16string destinationText_;
    std::uint32_t beginColor_ = 0;
    double maximum_ = 0;
    double position_ = 0;
    int barPixels_ = 0;        // the filled width the bar would paint
    bool repaintDue_ = false;  // a changed control asks for a repaint in the next step
    std::uint64_t steps_ = 0;
    std::uint64_t handled_ = 0;
};
