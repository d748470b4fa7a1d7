// An icon asked for without a name is refused with an error rather than looked up.
#include "TestSupport.h"

namespace {

TEST(IconTest, AnIconWithoutANameIsRefused) {
    SetLastError(0);
    EXPECT_EQ(LoadIconA(GetModuleHandleA(nullptr), nullptr), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

} // namespace
