// The database parameter block: how lines become items, and what the window's connection asks for.
// Nothing here needs the client library, so the Windows build runs it too.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "database/Errors.h"
#include "database/FbDatabase.h"
#include "database/TavixDatabase.h"

// What the window's connection asks of the server besides its account (which the servers of the
// database tests check): a connect time-out of 30 s, the time a user reads in "o servidor não
// respondeu em 30 s"; and on Linux every text in UTF-8, the program's encoding there, while
// Windows keeps its texts in the ANSI code page and asks for no character set.
TEST(ParameterBlockTest, TheConnectionWaitsThirtySecondsAndOnLinuxAsksForUtf8) {
    const std::string block = DatabaseParameterBlock(TavixDatabaseParams());
    // An item of the block: the item's own block without the version byte.
    const auto holds = [&](const std::string& item) {
        return block.find(DatabaseParameterBlock({item}).substr(1)) != std::string::npos;
    };
    EXPECT_TRUE(holds("connect_timeout=30"));
#ifdef _WIN32
    for (const std::string& line : TavixDatabaseParams())
        EXPECT_FALSE(line.starts_with("lc_ctype=")) << line;
#else
    EXPECT_TRUE(holds("lc_ctype=UTF8"));
#endif
}

TEST(ParameterBlockTest, OneItemPerLineInTheirOrder) {
    EXPECT_EQ(DatabaseParameterBlock({}), "\x01");
    EXPECT_EQ(DatabaseParameterBlock({"LC_CTYPE=WIN1252", "password=", "User_Name=x"}),
              std::string("\x01\x30\x07WIN1252\x1D\x00\x1C\x01x", 15));
    EXPECT_EQ(DatabaseParameterBlock({"connect_timeout=300"}),
              std::string("\x01\x39\x04\x2C\x01\x00\x00", 7));
    EXPECT_THROW(DatabaseParameterBlock({"sql_role_name=R"}), DatabaseClientError);
    EXPECT_THROW(DatabaseParameterBlock({"connect_timeout=soon"}), DatabaseClientError);
    EXPECT_THROW(DatabaseParameterBlock({"password=" + std::string(256, 'p')}),
                 DatabaseClientError);
}
