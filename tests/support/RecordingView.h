#pragma once
// What the folder walkers report, recorded (RecordingView); and what the window shows of a run's
// progress (RecordedDisplay, kept by support/RecordingWindow.h). A test may act while messages are
// processed, as the window's handlers would.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "engine/ProgressView.h"

// Messages processed, and what a test does meanwhile.
struct RecordedProcessing {
    void Process() {
        ++processed;
        if (onProcessMessages) onProcessMessages();
    }
    int processed = 0;
    std::function<void()> onProcessMessages;
};

// One report of a mirror walk: where it stood.
struct MirrorStep {
    double copiedMB;
    double totalMB;
    std::string destinationFile;
};

class RecordingView : public ProgressView, public RecordedProcessing {
public:
    void MirrorProgress(double copiedMB, double totalMB,
                        const std::string& destinationFile) override {
        walked.push_back({copiedMB, totalMB, destinationFile});
    }
    void ProcessMessages() override { Process(); }

    std::vector<MirrorStep> walked;
};

struct BarUpdate {
    std::uint32_t color;
    double maximum;
    double position;
};

// The progress lines and the bar as the window shows them.
struct RecordedDisplay : RecordedProcessing {
    std::string progressText = "           ";  // the labels start as eleven blanks
    std::string destinationText = "           ";
    std::vector<std::string> progressTexts;
    std::vector<std::string> destinationTexts;
    std::vector<BarUpdate> bars;
};
