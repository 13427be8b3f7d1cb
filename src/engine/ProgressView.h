#pragma once
// What the folder walkers report while they work: where a mirror walk stands, and the chance to
// let the window handle its messages. How that is shown is the window's (MainForm); tests record
// it, the bench counts it.

#include <string>

class ProgressView {
public:
    virtual ~ProgressView() = default;
    // The mirror walk is at the entry whose copy is `destinationFile`: `copiedMB` of `totalMB`
    // walked so far (the size total's measure of the folder). Told for every entry, before its
    // copy decision.
    virtual void MirrorProgress(double copiedMB, double totalMB,
                                const std::string& destinationFile) = 0;
    // Lets the window handle every pending message (repaint, hide and show, timers, menus).
    virtual void ProcessMessages() = 0;
};
