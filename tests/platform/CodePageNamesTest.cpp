#include "platform/SystemCodePage.h"

#include <gtest/gtest.h>

namespace quillorn {
namespace {

TEST(CodePageNamesTest, CharsetNamesMapToUtf8OrWindows1251) {
    for (const char* utf8 : {"UTF-8", "utf8", "ANSI_X3.4-1968", "ASCII", "US-ASCII"})
        EXPECT_EQ(CodePageOfCharset(utf8), TextEncoding::Utf8) << utf8;
    for (const char* single : {"CP1251", "WINDOWS-1251", "KOI8-R", "ISO-8859-5", ""})
        EXPECT_EQ(CodePageOfCharset(single), TextEncoding::Windows1251) << single;
}

TEST(CodePageNamesTest, WindowsCodePagesMapToUtf8OrWindows1251) {
    for (const unsigned int utf8 : {65001u, 20127u})
        EXPECT_EQ(CodePageOfWindowsCodePage(utf8), TextEncoding::Utf8) << utf8;
    for (const unsigned int single : {1251u, 866u, 1252u, 20866u, 0u})
        EXPECT_EQ(CodePageOfWindowsCodePage(single), TextEncoding::Windows1251) << single;
}

}  // namespace
}  // namespace quillorn
