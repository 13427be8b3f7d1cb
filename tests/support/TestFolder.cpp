#include "TestFolder.h"

#include <atomic>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <sstream>
#include <stdexcept>

#ifdef _WIN32
#include <windows.h>
#endif

namespace fs = std::filesystem;

namespace {

fs::path DefaultBase() {
#ifndef _WIN32
    if (const char* shared = std::getenv("DUPLORA_TEST_FOLDERS"); shared && *shared) return shared;
#endif
    return fs::temp_directory_path();
}

}  // namespace

TestFolder::TestFolder() : TestFolder(DefaultBase()) {}

TestFolder::TestFolder(const fs::path& base) {
    static std::atomic<int> counter{0};
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    root_ = base / ("duplora-test-" + std::to_string(stamp) + "-" + std::to_string(counter++));
    fs::create_directories(root_);
}

TestFolder::~TestFolder() {
    std::error_code error;
    // Read-only entries must become writable before they can go.
    for (auto it = fs::recursive_directory_iterator(root_, error);
         it != fs::recursive_directory_iterator(); it.increment(error))
        fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, error);
    fs::remove_all(root_, error);
}

fs::path TestFolder::Host(const std::string& relative) const {
    return relative.empty() ? root_ : (root_ / fs::path(relative)).make_preferred();
}

std::string TestFolder::Path(const std::string& relative) const { return Host(relative).string(); }

void TestFolder::Write(const std::string& relative, const std::string& content) {
    fs::create_directories(Host(relative).parent_path());
    std::ofstream(Host(relative), std::ios::binary) << content;
}

void TestFolder::Write(const std::string& relative, const std::string& content,
                       std::chrono::system_clock::time_point lastWrite) {
    Write(relative, content);
    SetTime(relative, lastWrite);
}

std::string TestFolder::Read(const std::string& relative) const {
    std::ifstream in(Host(relative), std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

bool TestFolder::Exists(const std::string& relative) const { return fs::exists(Host(relative)); }

void TestFolder::MakeFolder(const std::string& relative) const {
    fs::create_directories(Host(relative));
}

#ifdef _WIN32

// The MinGW standard library reads and sets file times in whole seconds only; the tests need
// them to the 100 ns of FILETIME.
namespace {

constexpr std::int64_t kUnixEpochInFiletimeTicks = 116444736000000000LL;

std::int64_t Ticks(std::chrono::system_clock::time_point t) {
    return std::chrono::duration_cast<std::chrono::duration<std::int64_t, std::ratio<1, 10000000>>>(
               t.time_since_epoch())
               .count() +
           kUnixEpochInFiletimeTicks;
}

}  // namespace

void TestFolder::SetTime(const std::string& relative,
                         std::chrono::system_clock::time_point t) const {
    const HANDLE file = CreateFileW(Host(relative).c_str(), FILE_WRITE_ATTRIBUTES,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE) throw std::runtime_error("cannot open " + Path(relative));
    const std::uint64_t ticks = static_cast<std::uint64_t>(Ticks(t));
    FILETIME lastWrite{static_cast<DWORD>(ticks & 0xFFFFFFFFu), static_cast<DWORD>(ticks >> 32)};
    const bool ok = SetFileTime(file, nullptr, nullptr, &lastWrite);
    CloseHandle(file);
    if (!ok) throw std::runtime_error("cannot set the time of " + Path(relative));
}

std::chrono::system_clock::time_point TestFolder::Time(const std::string& relative) const {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(Host(relative).c_str(), GetFileExInfoStandard, &data))
        throw std::runtime_error("cannot read the time of " + Path(relative));
    const std::int64_t ticks = static_cast<std::int64_t>(
        (static_cast<std::uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) |
        data.ftLastWriteTime.dwLowDateTime);
    return std::chrono::system_clock::time_point(
        std::chrono::duration_cast<std::chrono::system_clock::duration>(
            std::chrono::duration<std::int64_t, std::ratio<1, 10000000>>(
                ticks - kUnixEpochInFiletimeTicks)));
}

#else

void TestFolder::SetTime(const std::string& relative,
                         std::chrono::system_clock::time_point t) const {
    fs::last_write_time(Host(relative), std::chrono::file_clock::from_sys(t));
}

std::chrono::system_clock::time_point TestFolder::Time(const std::string& relative) const {
    return std::chrono::time_point_cast<std::chrono::system_clock::duration>(
        std::chrono::file_clock::to_sys(fs::last_write_time(Host(relative))));
}

#endif

std::chrono::system_clock::time_point LocalTime(int year, int month, int day, int hour, int minute,
                                                int second) {
    std::tm local{};
    local.tm_year = year - 1900;
    local.tm_mon = month - 1;
    local.tm_mday = day;
    local.tm_hour = hour;
    local.tm_min = minute;
    local.tm_sec = second;
    local.tm_isdst = -1;
    return std::chrono::system_clock::from_time_t(std::mktime(&local));
}
