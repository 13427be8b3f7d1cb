#include "ScreenState.h"

#include <sstream>

#include "Desktop.h"

namespace fs = std::filesystem;

ScreenState ReadScreen(unsigned long window, const fs::path& shot) {
    ScreenState state;
    int status = 0;
    Capture("import -window " + std::to_string(window) + " " + Quoted(shot.string()), &status);
    if (status != 0) return state;
    state.text = Capture("QT_QPA_PLATFORM=offscreen " + Quoted(DUPLORA_SCREEN_PROBE) + " " +
                         Quoted(shot.string()));
    std::istringstream lines(state.text);
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind("step ", 0) == 0) state.steps.push_back(line.substr(line.find(": ") + 2));
        if (line == "closing line: shown") state.closingLine = true;
    }
    return state;
}
