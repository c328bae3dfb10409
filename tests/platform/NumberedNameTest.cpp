#include "platform/AppDir.h"
#include "platform/TickName.h"

#include <gtest/gtest.h>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

namespace quillorn {
namespace {

TEST(TickNameTest, TickIsFormattedAsASignedThirtyTwoBitNumber) {
    EXPECT_EQ(TickNumber(0), "0");
    EXPECT_EQ(TickNumber(0x7FFFFFFFu), "2147483647");
    EXPECT_EQ(TickNumber(0x80000000u), "-2147483648");
    EXPECT_EQ(TickNumber(0xFFFFFFFFu), "-1");
}

TEST(TickNameTest, TakenNumbersUnderAnySuffixAreSkippedAcrossTheSignChange) {
    QTemporaryDir temp;
    const AppDir dir(temp.path());
    auto touch = [&](const QString& name) {
        QFile file(dir.FilePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    };
    EXPECT_EQ(FreeNumberedName(dir, "data", 7, {".tab", ".xlsx"}), "data7.tab");
    touch("data2147483647.tab");
    touch("data-2147483648.xlsx");
    ASSERT_TRUE(QFile::link(dir.FilePath("nowhere"), dir.FilePath("data-2147483647.tab")));
    EXPECT_EQ(FreeNumberedName(dir, "data", 0x7FFFFFFFu, {".tab", ".xlsx"}), "data-2147483646.tab");
    EXPECT_EQ(FreeNumberedName(dir, "log-", 0xFFFFFFFFu, {".txt"}), "log--1.txt");
}

TEST(AppDirTest, PathEndsWithOneSeparator) {
    EXPECT_EQ(AppDir("/srv/q").Path(), "/srv/q/");
    EXPECT_EQ(AppDir("/srv/q/").FilePath("urls.txt"), "/srv/q/urls.txt");
}

}  // namespace
}  // namespace quillorn
