#pragma once
// What the folder walkers show while they work. The main window implements it; tests record it.

#include <cstdint>
#include <string>

// The progress bar's colour value in the toolkit's blue-green-red encoding: navy.
inline constexpr std::uint32_t kProgressNavy = 0x800000;

class ProgressView {
public:
    virtual ~ProgressView() = default;
    virtual void SetProgressText(const std::string& text) = 0;     // lblProgresso
    virtual void SetDestinationText(const std::string& text) = 0;  // lblDestino
    // cxProgressBar1: the begin colour first, then the maximum, then the position.
    virtual void SetProgressBar(std::uint32_t beginColor, double maximum, double position) = 0;
    // Lets the window handle every pending message (repaint, hide and show, timers, menus).
    virtual void ProcessMessages() = 0;
};
