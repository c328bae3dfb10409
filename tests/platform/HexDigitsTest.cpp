#include "platform/HexDigits.h"

#include <gtest/gtest.h>

namespace quillorn {
namespace {

TEST(HexDigitsTest, TakesAsciiDigitsOfEitherCaseAndNothingBesideThem) {
    EXPECT_EQ(HexDigitValue(u'0'), 0);
    EXPECT_EQ(HexDigitValue(u'9'), 9);
    EXPECT_EQ(HexDigitValue(u'a'), 10);
    EXPECT_EQ(HexDigitValue(u'F'), 15);
    // The neighbours of each range, other scripts' digits, a byte above 0x7F (either signedness).
    for (const char16_t c : {u'/', u':', u'@', u'G', u'`', u'g', u'\uFF10', u'\u0660'})
        EXPECT_FALSE(IsHexDigit(c)) << int(c);
    const char byte = '\xC6';
    EXPECT_FALSE(IsHexDigit(static_cast<char16_t>(byte)));
    EXPECT_FALSE(IsHexDigit(static_cast<unsigned char>(byte)));
}

TEST(HexDigitsTest, WritesUpperCaseDigitsOfTheLowFourBits) {
    EXPECT_EQ(UpperHexDigit(0), '0');
    EXPECT_EQ(UpperHexDigit(10), 'A');
    EXPECT_EQ(UpperHexDigit(0x1F), 'F');
}

}  // namespace
}  // namespace quillorn
