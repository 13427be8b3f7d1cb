#pragma once
// A real temporary folder for one test, removed with everything in it afterwards. It lies in the
// system's temporary folder, or, in a Linux test program, in DUPLORA_TEST_FOLDERS where that is
// set: a folder that the tests' Firebird server sees too (the emulated x86 machine sets it to a
// folder shared with the host, where the server runs).

#include <chrono>
#include <filesystem>
#include <string>

class TestFolder {
public:
    TestFolder();
    // A folder inside `base` (which must exist).
    explicit TestFolder(const std::filesystem::path& base);
    ~TestFolder();
    TestFolder(const TestFolder&) = delete;
    TestFolder& operator=(const TestFolder&) = delete;

    // The path text of `relative` (written with "/") inside the folder, in the system's form.
    std::string Path(const std::string& relative = "") const;
    std::filesystem::path Host(const std::string& relative = "") const;

    // Writes a file, creating the folders above it.
    void Write(const std::string& relative, const std::string& content);
    void Write(const std::string& relative, const std::string& content,
               std::chrono::system_clock::time_point lastWrite);
    std::string Read(const std::string& relative) const;
    bool Exists(const std::string& relative) const;
    void MakeFolder(const std::string& relative) const;
    void SetTime(const std::string& relative,
                 std::chrono::system_clock::time_point lastWrite) const;
    std::chrono::system_clock::time_point Time(const std::string& relative) const;

private:
    std::filesystem::path root_;
};

// A local wall-clock time, as the MS-DOS form records it.
std::chrono::system_clock::time_point LocalTime(int year, int month, int day, int hour, int minute,
                                                int second);
