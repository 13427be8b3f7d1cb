#include "support/FirebirdTestDatabase.h"

#include <atomic>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace fs = std::filesystem;

std::string SqlText(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) {
        quoted += c;
        if (c == '\'') quoted += '\'';
    }
    return quoted + "'";
}

namespace {

// The character set a column type names ("VARCHAR(60) CHARACTER SET WIN1252"), else NONE.
std::string CharacterSetOf(const std::string& columnType) {
    std::string upper;
    for (char c : columnType)
        upper += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    const std::string marker = "CHARACTER SET ";
    const std::size_t at = upper.find(marker);
    if (at == std::string::npos) return "NONE";
    std::istringstream rest(upper.substr(at + marker.size()));
    std::string name;
    rest >> name;
    return name;
}

// A literal that stores `bytes` exactly: hex digits in `characterSet`, which no client
// converts on the way.
std::string SqlBytes(const std::string& bytes, const std::string& characterSet) {
    std::string literal = "_" + characterSet + " x'";
    for (unsigned char c : bytes) {
        constexpr const char* kDigits = "0123456789ABCDEF";
        literal += kDigits[c >> 4];
        literal += kDigits[c & 0xF];
    }
    return literal + "'";
}

}  // namespace

FirebirdTestDatabase::FirebirdTestDatabase(const TestFolder& folder, const std::string& columnType,
                                           const Rows& rows, int dialect,
                                           const std::string& fileName)
    : folder_(folder.Path()), file_(folder.Path(fileName)) {
    std::ostringstream script;
    script << "SET SQL DIALECT " << dialect << ";\n"
           << "CREATE DATABASE " << SqlText(file_) << " USER " << SqlText(kTestUser)
           << " PAGE_SIZE 4096;\n";
    if (!columnType.empty()) {
        script << "CREATE TABLE Tb_Pastas (Pas_Path " << columnType << ");\nCOMMIT;\n";
        const std::string characterSet = CharacterSetOf(columnType);
        for (const auto& row : rows)
            script << "INSERT INTO Tb_Pastas (Pas_Path) VALUES ("
                   << (row ? SqlBytes(*row, characterSet) : std::string("NULL")) << ");\n";
    }
    script << "COMMIT;\n";
    RunIsql(folder_, script.str());
}

void FirebirdTestDatabase::Execute(const std::string& statements) const {
    RunIsql(folder_, "CONNECT " + SqlText(file_) + " USER " + SqlText(kTestUser) + ";\n" +
                         statements + "\nCOMMIT;\n");
}

void FirebirdTestDatabase::RunIsql(const std::string& folder, const std::string& script) {
    static std::atomic<int> counter{0};
    const std::string base = (fs::path(folder) / ("isql-" + std::to_string(counter++))).string();
    std::ofstream(base + ".sql") << script;
    // The scripts' file names are UTF-8, whatever locale the test runs under.
    const std::string command = "LC_ALL=C.UTF-8 isql-fb -q -b -i '" + base + ".sql' >'" + base +
                                ".out' 2>&1 </dev/null";
    if (std::system(command.c_str()) != 0) {
        std::ifstream in(base + ".out");
        std::ostringstream output;
        output << in.rdbuf();
        throw std::runtime_error("isql-fb failed: " + output.str() + "\nscript:\n" + script);
    }
}
