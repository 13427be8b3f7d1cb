#include "support/FirebirdTestDatabase.h"

#include <atomic>
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
        for (const auto& row : rows)
            script << "INSERT INTO Tb_Pastas (Pas_Path) VALUES ("
                   << (row ? SqlText(*row) : std::string("NULL")) << ");\n";
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
    const std::string command =
        "isql-fb -q -b -i '" + base + ".sql' >'" + base + ".out' 2>&1 </dev/null";
    if (std::system(command.c_str()) != 0) {
        std::ifstream in(base + ".out");
        std::ostringstream output;
        output << in.rdbuf();
        throw std::runtime_error("isql-fb failed: " + output.str() + "\nscript:\n" + script);
    }
}
