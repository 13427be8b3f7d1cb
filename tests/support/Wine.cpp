#include "Wine.h"

#include <sstream>

#include "platform/Library.h"

bool RunningUnderWine() {
#ifdef _WIN32
    const platform::LibraryHandle ntdll = platform::LoadSharedLibrary("ntdll.dll");
    return ntdll && platform::FindSymbol(ntdll, "wine_get_version");
#else
    return false;
#endif
}

namespace {

std::string Trimmed(const std::string& text) {
    const std::size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos) return std::string();
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

}  // namespace

std::string ProfileContent(const std::string& text) {
    std::istringstream lines(text);
    std::string content;
    for (std::string line; std::getline(lines, line);) {
        line = Trimmed(line);
        if (line.empty()) continue;
        const std::size_t equals = line.find('=');
        if (line[0] != '[' && equals != std::string::npos)
            line = Trimmed(line.substr(0, equals)) + "=" + Trimmed(line.substr(equals + 1));
        content += line + "\r\n";
    }
    return content;
}
