// The database parameter block the window's connection sends, byte for byte, on each system.
// Nothing here needs the client library, so the Windows build runs it too.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Errors.h"
#include "FbDatabase.h"
#include "TavixDatabase.h"

TEST(ParameterBlockTest, TheWindowsConnectionSendsItsAccountAndOnLinuxAsksForUtf8) {
    const std::string account =
        std::string("\x01\x1C\x06", 3) + "SYSDBA" + "\x1D\x09" + "plumcider";
#ifdef _WIN32
    // The design's block, and nothing else: texts stay in the ANSI code page.
    EXPECT_EQ(DatabaseParameterBlock(TavixDatabaseParams()), account);
#else
    EXPECT_EQ(DatabaseParameterBlock(TavixDatabaseParams()), account + "\x30\x04" + "UTF8");
#endif
}

TEST(ParameterBlockTest, OneItemPerLineInTheirOrder) {
    EXPECT_EQ(DatabaseParameterBlock({}), "\x01");
    EXPECT_EQ(DatabaseParameterBlock({"LC_CTYPE=WIN1252", "password=", "User_Name=x"}),
              std::string("\x01\x30\x07WIN1252\x1D\x00\x1C\x01x", 15));
    EXPECT_THROW(DatabaseParameterBlock({"sql_role_name=R"}), DatabaseClientError);
    EXPECT_THROW(DatabaseParameterBlock({"password=" + std::string(256, 'p')}),
                 DatabaseClientError);
}
