#pragma once
// The settings file: a write that the system refused, or a file that is there but cannot be
// read.

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

class SettingsReadError : public std::runtime_error {
public:
    SettingsReadError(const std::string& fileName, const std::string& reason)
        : std::runtime_error("Não foi possível ler " + fileName + ": " + reason) {}
};
