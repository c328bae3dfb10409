// On Windows the system locale is the user's regional settings, which a user may change apart
// from the language: the separator must be the one set there.
#include <windows.h>

#include <gtest/gtest.h>

#include "platform/LocaleServices.h"

namespace quillorn {
namespace {

TEST(LocaleServicesTest, DecimalSeparatorIsTheOneOfTheUsersRegionalSettings) {
    wchar_t separator[8] = {};
    ASSERT_GT(::GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_SDECIMAL, separator, 8), 0);
    EXPECT_EQ(SystemLocale().DecimalSeparator(), QString::fromWCharArray(separator));
}

}  // namespace
}  // namespace quillorn
