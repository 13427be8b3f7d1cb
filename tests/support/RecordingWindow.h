#pragma once
// The window seam faked: a MainFormView that records what the window's logic shows, in the
// terms a user would read it (step states, texts, enabled controls, the tray icon and its tip,
// message boxes), with the controls' states at creation from the window's description. Events
// the window would deliver later (RunLater) wait until the test lets the message loop run.

#include <array>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <utility>
#include <vector>

#include "mainform/MainForm.h"
#include "support/RecordingView.h"

struct ShownBox {
    MessageKind kind;
    std::string caption;
    std::string text;
};

// The step pictures' states, as a user reads them.
using StepStates = std::array<std::optional<StepState>, kStepCount>;
// Every step in `state`.
inline StepStates EveryStep(StepState state) {
    StepStates steps;
    steps.fill(state);
    return steps;
}
// A run that failed at `step`: the steps before it Ok, it and every one after it Error.
inline StepStates FailedAt(int step) {
    StepStates steps;
    for (int s = 1; s <= kStepCount; ++s)
        steps[s - 1] = s < step ? StepState::Ok : StepState::Error;
    return steps;
}

// The controls a run disables.
struct ControlStates {
    bool start = true, startMenuItem = true, close = true, schedule = true;
    friend bool operator==(const ControlStates&, const ControlStates&) = default;
};

class RecordingWindow : public MainFormView {
public:
    RecordingWindow() {
        for (const ControlDescription& control : kControls) {
            enabled[control.id] = control.enabled;
            checked[control.id] = control.checked;
        }
    }

    void SetText(ControlId control, const std::string& text) override {
        if (control == ControlId::lblProgresso) {
            progress.progressTexts.push_back(text);
            progress.progressText = text;
        } else if (control == ControlId::lblDestino) {
            progress.destinationTexts.push_back(text);
            progress.destinationText = text;
        }
        texts[control] = text;
    }
    void SetPicture(ControlId control, Picture picture) override {
        pictures[control] = picture;
        for (int step = 1; step <= kStepCount; ++step) {
            if (control != StepImage(step)) continue;
            steps[step - 1] = StateOf(picture);
            if (onStep && steps[step - 1]) onStep(step, *steps[step - 1]);
        }
    }
    void SetEnabled(ControlId control, bool value) override { enabled[control] = value; }
    bool Checked(ControlId control) const override { return checked.at(control); }
    void SetChecked(ControlId control, bool value) override { checked[control] = value; }
    void Focus(ControlId control) override { focused.push_back(control); }
    void RefreshTimeField() override { ++timeFieldRefreshes; }
    void SetProgressBar(std::uint32_t color, double maximum, double position) override {
        progress.bars.push_back({color, maximum, position});
    }
    void ProcessMessages() override { progress.Process(); }
    bool WindowVisible() const override { return visible; }
    void SetWindowVisible(bool value) override { visible = value; }
    void CloseWindow() override {
        if (form && form->FormClose()) visible = false;
    }
    void QuitApplication() override { ++quits; }
    void RunLater(std::function<void()> action) override { later.push_back(std::move(action)); }
    void Beep() override { ++beeps; }
    void SetTimerActive(TimerId timer, bool active) override {
        timers[timer] = active;
        if (active) ++timerStarts[timer];
    }
    void SetTrayIcon(Picture icon, const std::string& tip) override {
        trayIcons.push_back(icon);
        trayTip = tip;
    }
    void PopupTrayMenuAtCursor() override { ++menusShown; }
    void ShowMessageBox(MessageKind kind, const std::string& caption,
                        const std::string& text) override {
        boxes.push_back({kind, caption, text});
    }

    // The message loop gets its turn.
    void RunPendingEvents() {
        while (!later.empty()) {
            auto action = std::move(later.front());
            later.pop_front();
            action();
        }
    }
    ControlStates Controls() const {
        return {enabled.at(ControlId::btnIniciarBackup), enabled.at(ControlId::MenuIniciarBackup),
                enabled.at(ControlId::btnFechar), enabled.at(ControlId::grpAgendamento)};
    }
    // The user ticks or clears a box: its state changes, then its click handler runs.
    void Click(ControlId box) {
        checked[box] = !checked[box];
        if (box == ControlId::chkDiario && form) form->chkDiarioClick();
    }

    static std::optional<StepState> StateOf(Picture picture) {
        switch (picture) {
            case Picture::StepPending:
                return StepState::Pending;
            case Picture::StepProcessing:
                return StepState::Processing;
            case Picture::StepOk:
                return StepState::Ok;
            case Picture::StepError:
                return StepState::Error;
            default:
                return std::nullopt;
        }
    }

    MainForm* form = nullptr;  // for the events that reach the logic through the window
    RecordedDisplay progress;  // lblProgresso, lblDestino, the bar, the message processing
    StepStates steps;
    std::function<void(int step, StepState state)> onStep;  // after a step's picture changed
    std::map<ControlId, std::string> texts;
    std::map<ControlId, Picture> pictures;
    std::map<ControlId, bool> enabled;
    std::map<ControlId, bool> checked;
    std::vector<ControlId> focused;
    int timeFieldRefreshes = 0;
    bool visible = true;
    int quits = 0;
    std::deque<std::function<void()>> later;
    int beeps = 0;
    std::map<TimerId, bool> timers;
    std::map<TimerId, int> timerStarts;
    std::vector<Picture> trayIcons;
    std::string trayTip;
    int menusShown = 0;
    std::vector<ShownBox> boxes;
};
