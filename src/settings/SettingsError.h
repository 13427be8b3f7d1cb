#pragma once
// A write to the settings file that the system refused.

#include <stdexcept>
#include <string>

class SettingsWriteError : public std::runtime_error {
public:
    explicit SettingsWriteError(const std::string& fileName)
        : std::runtime_error("Unable to write to " + fileName), fileName_(fileName) {}
    const std::string& FileName() const { return fileName_; }

private:
    std::string fileName_;
};
