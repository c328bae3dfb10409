#include "platform/AppDir.h"

#include <gtest/gtest.h>
#include <QFileInfo>

namespace quillorn {
namespace {

TEST(AppDirTest, NamesTheExecutablesFolderWithForwardSlashes) {
    const AppDir dir = AppDir::OfExecutable();
    EXPECT_FALSE(dir.Path().contains(QLatin1Char('\\'))) << dir.Path().toStdString();
    EXPECT_TRUE(dir.Path().endsWith(QLatin1Char('/')));
    EXPECT_TRUE(QFileInfo::exists(dir.FilePath("quillorn_platform_tests.exe")));
    EXPECT_EQ(AppDir("C:\\q").FilePath("urls.txt"), "C:/q/urls.txt");
}

}  // namespace
}  // namespace quillorn
