#pragma once
// The backup run's steps as data (Steps.inc, one row a step): what the window shows of each and
// what the run does before each step's work. The run's own reading of the table adds the work.

#include <iterator>

struct StepDescription {
    const char* image;     // the name of the step's picture control
    const char* box;       // the name of its option box
    const char* label;     // the name of the label showing the caption; nullptr: the box shows it
    const char* caption;   // what the window says of the step
    bool optional;         // the box can be cleared, and the step then does no work
    bool needsConnection;  // the database is connected when the step begins
};

inline constexpr StepDescription kSteps[] = {
#define DUPLORA_STEP(image, box, label, caption, optional, needsConnection, work) \
    {image, box, label, caption, optional, needsConnection},
#include "common/Steps.inc"
#undef DUPLORA_STEP
};

// Steps 1 to kStepCount; kAllStepsDone is the end of the last one in a complete run.
inline constexpr int kStepCount = static_cast<int>(std::size(kSteps));
inline constexpr int kAllStepsDone = kStepCount + 1;

constexpr const StepDescription& Step(int step) { return kSteps[step - 1]; }
