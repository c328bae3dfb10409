#include "platform/AppDir.h"

#include <gtest/gtest.h>
#include <QFile>
#include <QFileInfo>

namespace quillorn {
namespace {

TEST(AppDirTest, NamesTheExecutablesDirectory) {
    const QString here = QFileInfo(QFile::symLinkTarget("/proc/self/exe")).absolutePath();
    EXPECT_EQ(AppDir::OfExecutable().Path(), here + "/");
    EXPECT_TRUE(QFileInfo::exists(AppDir::OfExecutable().FilePath(
        QFileInfo(QFile::symLinkTarget("/proc/self/exe")).fileName())));
}

}  // namespace
}  // namespace quillorn
