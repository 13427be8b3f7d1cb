#pragma once
// What the folder walkers show, recorded; a test may act while messages are processed, as the
// window's handlers would.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "ProgressView.h"

struct BarUpdate {
    std::uint32_t color;
    double maximum;
    double position;
};

class RecordingView : public ProgressView {
public:
    void SetProgressText(const std::string& text) override {
        progressTexts.push_back(text);
        progressText = text;
    }
    void SetDestinationText(const std::string& text) override {
        destinationTexts.push_back(text);
        destinationText = text;
    }
    void SetProgressBar(std::uint32_t color, double maximum, double position) override {
        bars.push_back({color, maximum, position});
    }
    void ProcessMessages() override {
        ++processed;
        if (onProcessMessages) onProcessMessages();
    }

    std::string progressText = "           ";  // the labels start as eleven blanks
    std::string destinationText = "           ";
    std::vector<std::string> progressTexts;
    std::vector<std::string> destinationTexts;
    std::vector<BarUpdate> bars;
    int processed = 0;
    std::function<void()> onProcessMessages;
};
