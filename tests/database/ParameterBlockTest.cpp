// The database parameter block the window's connection sends, byte for byte, on each system.
// Nothing here needs the client library, so the Windows build runs it too.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Errors.h"
#include "FbDatabase.h"
#include "TavixDatabase.h"

// The account, a connect time-out of 30 s (a 4-byte little-endian number), and on Linux the
// character set the program's texts are in.
TEST(ParameterBlockTest, TheConnectionSendsItsAccountAndTimeOutAndOnLinuxAsksForUtf8) {
    const std::string account =
        std::string("\x01\x1C\x06", 3) + "SYSDBA" + "\x1D\x09" + "plumcider";
    const std::string timeOut("\x39\x04\x1E\x00\x00\x00", 6);
#ifdef _WIN32
    // Texts stay in the ANSI code page.
    EXPECT_EQ(DatabaseParameterBlock(TavixDatabaseParams()), account + timeOut);
#else
    EXPECT_EQ(DatabaseParameterBlock(TavixDatabaseParams()),
              account + timeOut + "\x30\x04" + "UTF8");
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
