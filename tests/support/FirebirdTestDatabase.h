#pragma once
// Real Firebird databases for tests, made with the isql-fb tool in embedded mode (no server
// needed to make them); the tests' servers run as the same user, so they open them too.
//
//   TestFolder folder;
//   FirebirdTestDatabase db(folder, "CHAR(60)", {"C:\\Musicas\\Rock\\", std::nullopt});
//   database.SetDatabaseName(db.ServerName());    // "127.0.0.1/<port>:/tmp/.../TAVIXAUDIO.FDB"
//   database.SetDatabaseName(db.EmbeddedName());  // the plain path: opened in-process
//
// A database is in use by one process at a time: the server keeps the file to itself while it
// has it open, so a test uses one database either through the server or embedded at a time.

#include <optional>
#include <string>
#include <vector>

#include "support/FirebirdTestServer.h"
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
    // Connection strings: through the shared test server, through the server at `address`
    // ("127.0.0.1/<port>", FirebirdTestServer::Address()), and embedded.
    std::string ServerName() const { return ServerName(SharedServerAddress()); }
    std::string ServerName(const std::string& address) const { return address + ":" + file_; }
    std::string EmbeddedName() const { return file_; }

    // Runs SQL statements (each ending with ";") on the database, embedded, and commits.
    void Execute(const std::string& statements) const;

private:
    // Runs an isql-fb script, kept in `folder` with the tool's output.
    static void RunIsql(const std::string& folder, const std::string& script);

    std::string folder_;
    std::string file_;
};

// SQL text literal: the text in single quotes, quotes doubled.
std::string SqlText(const std::string& text);

// The owner of every test database (the tests' servers give it the password plumcider).
inline constexpr const char* kTestUser = "SYSDBA";
