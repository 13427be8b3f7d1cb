// The client's types as this program lays them out (MinGW) and as the Linux client library of
// the same word size behind the Wine bridge does: every size and field offset of Layout.inc must
// agree, or the bridge would hand the client structures it misreads.

#include <gtest/gtest.h>

#include <cstddef>
#include <iterator>
#include <vector>

#include "database/ClientLibrary.h"
#include "platform/Library.h"
#include "platform/SystemError.h"

namespace {

struct Measure {
    const char* what;
    unsigned value;
};

const Measure kWindowsLayout[] = {
#define DUPLORA_SIZE(type, ...) {"sizeof(" #type ")", sizeof(type)},
#define DUPLORA_FIELD(type, field, ...) {"offsetof(" #type ", " #field ")", offsetof(type, field)},
#include "winebridge/Layout.inc"
#undef DUPLORA_SIZE
#undef DUPLORA_FIELD
};

}  // namespace

TEST(BridgeLayoutTest, TheClientsTypesHaveOneLayoutOnBothSides) {
    const platform::LibraryHandle bridge = platform::LoadSharedLibrary(kClientLibraryName);
    ASSERT_TRUE(bridge) << platform::LastErrorText();
    using Layout = unsigned(__stdcall*)(unsigned* values, unsigned capacity);
    const auto linuxLayout =
        reinterpret_cast<Layout>(platform::FindSymbol(bridge, "DuploraBridgeLayout"));
    ASSERT_TRUE(linuxLayout) << "gds32.dll is not the Wine bridge";

    const unsigned count = std::size(kWindowsLayout);
    std::vector<unsigned> linuxValues(count);
    ASSERT_EQ(linuxLayout(linuxValues.data(), count), count);
    for (unsigned i = 0; i < count; ++i)
        EXPECT_EQ(kWindowsLayout[i].value, linuxValues[i]) << kWindowsLayout[i].what;
}
