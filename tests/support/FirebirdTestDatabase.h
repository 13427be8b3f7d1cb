#pragma once
// Real Firebird databases for tests, made with the isql-fb tool in embedded mode (no server
// needed to make them) and readable by the test server, which runs as the user `firebird`.
//
//   TestFolder folder;
//   FirebirdTestDatabase db(folder, "CHAR(60)", {"C:\\Musicas\\Rock\\", std::nullopt});
//   database.SetDatabaseName(db.ServerName());    // "localhost:/tmp/.../TAVIXAUDIO.FDB"
//   database.SetDatabaseName(db.EmbeddedName());  // the plain path: opened in-process
//
// A database is in use by one process at a time: the server keeps the file to itself while it
// has it open, so a test uses one database either through the server or embedded at a time.

#include <optional>
#include <string>
#include <vector>

#include "support/TestFolder.h"

class FirebirdTestDatabase {
public:
    using Rows = std::vector<std::optional<std::string>>;  // nullopt is NULL

    // Creates `fileName` in `folder`, SQL dialect `dialect`, with the table Tb_Pastas holding one
    // column Pas_Path of `columnType` (e.g. "VARCHAR(255)", "CHAR(60) CHARACTER SET WIN1252")
    // and `rows` in order, each stored byte for byte in the column's character set.
    // An empty `columnType` makes the database without the table. Throws std::runtime_error
    // with isql-fb's output when the tool fails.
    FirebirdTestDatabase(const TestFolder& folder, const std::string& columnType, const Rows& rows,
                         int dialect = 1, const std::string& fileName = "TAVIXAUDIO.FDB");

    // The database file's host path.
    const std::string& File() const { return file_; }
    // Connection strings for the test server on loopback, for a private server on `port`, and
    // for an embedded connection.
    std::string ServerName() const { return "localhost:" + file_; }
    std::string ServerName(int port) const {
        return "localhost/" + std::to_string(port) + ":" + file_;
    }
    std::string EmbeddedName() const { return file_; }

    // Runs SQL statements (each ending with ";") on the database, embedded, and commits.
    void Execute(const std::string& statements) const;

    // Runs an isql-fb script kept in `folder`; `environment` ("NAME='value' ...") goes before
    // the command, e.g. to point FIREBIRD at another configuration.
    static void RunIsql(const std::string& folder, const std::string& script,
                        const std::string& environment = "");

private:
    std::string folder_;
    std::string file_;
};

// SQL text literal: the text in single quotes, quotes doubled.
std::string SqlText(const std::string& text);

// The account every test database and server accepts.
inline constexpr const char* kTestUser = "SYSDBA";
inline constexpr const char* kTestPassword = "plumcider";
