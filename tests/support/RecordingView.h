#pragma once
// The window seam faked: records what the walkers show and lets a test act while messages are
// processed.

#include <functional>
#include <string>
#include <vector>

#include "engine/ProgressView.h"

struct BarUpdate {
    std::uint32_t color;
    double maximum;
    double position;
};

class RecordingProgressView : public ProgressView {
public:
    void SetProgressText(const std::string& text) override { progressTexts.push_back(text); }
    void SetDestinationText(const std::string& text) override { destinationTexts.push_back(text); }
    void SetProgressBar(std::uint32_t color, double maximum, double position) override {
        bars.push_back({color, maximum, position});
    }
    void ProcessMessages() override {
        ++processed;
        if (onProcessMessages) onProcessMessages();
    }

    std::vector<std::string> progressTexts;
    std::vector<std::string> destinationTexts;
    std::vector<BarUpdate> bars;
    int processed = 0;
    std::function<void()> onProcessMessages;
};
