// The client library as Windows loads it: gds32.dll, by the ordinary library search.

#include <gtest/gtest.h>

#include <string>

#include "database/ClientLibrary.h"
#include "database/Errors.h"
#include "database/TavixDatabase.h"
#include "platform/Library.h"

TEST(Win32ClientLibraryTest, AMissingGds32StopsTheDatabaseObjectsWithTheInstallMessage) {
    ASSERT_EQ(std::string(kClientLibraryName), "gds32.dll");
    if (platform::LoadSharedLibrary("gds32.dll"))
        GTEST_SKIP() << "a gds32.dll is installed on this machine";
    try {
        TavixDatabase database;
        FAIL() << "the database objects were created without a client library";
    } catch (const DatabaseClientError& error) {
        EXPECT_STREQ(error.what(),
                     "InterBase library gds32.dll not found in the path. Please install "
                     "InterBase to use this functionality");
    }
}

TEST(Win32ClientLibraryTest, ALibraryWithoutTheEntryPointsGivesTheSystemsText) {
    try {
        ClientLibrary::Load("kernel32.dll");
        FAIL() << "kernel32.dll passed for the client library";
    } catch (const DatabaseClientError& error) {
        const std::string message = error.what();
        EXPECT_FALSE(message.empty());
        EXPECT_EQ(message.find("InterBase library"), std::string::npos) << message;
        EXPECT_EQ(message.find_first_of("\r\n"), std::string::npos) << message;
    }
}
