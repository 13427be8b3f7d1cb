#include "platform/Platform.h"

#include <gtest/gtest.h>

#include "support/TestFolder.h"

TEST(PlatformTest, Placeholder) { EXPECT_EQ(platform::GetAttributes("/nonexistent-duplora"), platform::kInvalidAttributes); }
