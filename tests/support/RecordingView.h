#pragma once
// The window seam faked: records what the engine shows and lets a test act while messages are
// processed, as the window's handlers would.

#include <array>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "BackupView.h"

struct BarUpdate {
    std::uint32_t color;
    double maximum;
    double position;
};

struct ControlStates {
    bool start = true, startMenuItem = true, close = true, schedule = true;
    friend bool operator==(const ControlStates&, const ControlStates&) = default;
};

class RecordingView : public BackupView {
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

    void SetStepImage(int step, StepState state) override {
        steps.at(step - 1) = state;
        stepHistory.push_back({step, state});
    }
    bool OptionChecked(StepOption option) const override { return options.at(option); }
    void SetStartEnabled(bool enabled) override { controls.start = enabled; }
    bool StartEnabled() const override { return controls.start; }
    void SetStartMenuItemEnabled(bool enabled) override { controls.startMenuItem = enabled; }
    void SetCloseEnabled(bool enabled) override { controls.close = enabled; }
    void SetScheduleEnabled(bool enabled) override { controls.schedule = enabled; }
    void SetTrayIcon(TrayPicture picture) override { trayPictures.push_back(picture); }
    void SetTrayTip(const std::string& text) override { trayTip = text; }

    std::string progressText = "           ";  // the labels start as eleven spaces
    std::string destinationText = "           ";
    std::vector<std::string> progressTexts;
    std::vector<std::string> destinationTexts;
    std::vector<BarUpdate> bars;
    int processed = 0;
    std::function<void()> onProcessMessages;

    std::array<StepState, 4> steps{StepState::Pending, StepState::Pending, StepState::Pending,
                                   StepState::Pending};
    std::vector<std::pair<int, StepState>> stepHistory;
    std::map<StepOption, bool> options{{StepOption::CopySystemFolder, true},
                                       {StepOption::CopyDatabase, true},
                                       {StepOption::CopyMusicFolders, true}};
    ControlStates controls;
    std::vector<TrayPicture> trayPictures;
    std::string trayTip;
};
