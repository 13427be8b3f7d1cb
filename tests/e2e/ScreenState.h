#pragma once
// What duplora_screen_probe reads in a screenshot of the Qt window.

#include <filesystem>
#include <string>
#include <vector>

struct ScreenState {
    std::vector<std::string> steps;  // four of Pending, Processing, Ok, Error, Empty, Unknown
    bool closingLine = false;
    std::string text;  // the probe's own report
};
ScreenState ReadScreen(unsigned long window, const std::filesystem::path& shot);
