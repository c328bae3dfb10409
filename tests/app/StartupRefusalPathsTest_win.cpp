// The start-up refusals on the paths Windows gives: drive letters, backslashes or slashes, and
// the unpacking folder of an archive program under the user's Temp.
#include "frontend/StartupRefusals.h"

#include <gtest/gtest.h>

namespace quillorn::test {
namespace {

bool Refused(const char* path, const char* because) {
    const std::optional<QString> refusal = StartupRefusal(QString::fromUtf8(path), true);
    return refusal && refusal->startsWith(QString::fromUtf8(because));
}

TEST(StartupRefusalPathsTest, WindowsPathsAreJudgedWithEitherSeparator) {
    const char* archive = "Вы запустили программу изнутри архива!";
    const char* temporary = "Программа запущена из временной папки!";
    EXPECT_TRUE(Refused("C:\\Users\\x\\AppData\\Local\\Temp\\Rar$EXa0.123\\", archive));
    EXPECT_TRUE(Refused("C:/Users/x/AppData/Local/Temp/Rar$EXa0.123/", archive));
    EXPECT_TRUE(Refused("C:\\Users\\x\\AppData\\Local\\Temp\\7zO1A2B\\", temporary));
    EXPECT_TRUE(Refused("D:\\TEMP\\", temporary));
    EXPECT_TRUE(Refused("\\\\server\\share\\temp\\q\\", temporary));
    EXPECT_FALSE(StartupRefusal(QStringLiteral("C:\\Users\\x\\rar$ex\\"), true));
    EXPECT_FALSE(StartupRefusal(QStringLiteral("C:\\Temporary\\tempo\\Quillorn\\"), true));
    EXPECT_FALSE(StartupRefusal(QStringLiteral("C:\\Program Files\\Quillorn\\"), true));
}

}  // namespace
}  // namespace quillorn::test
