// The code page asked of the system is the locale's character set: checked under real locales,
// ru_RU.CP1251 made for the test in a folder of its own.
#include "platform/SystemCodePage.h"

#include <gtest/gtest.h>

#include <QProcess>
#include <QTemporaryDir>
#include <clocale>
#include <string>

namespace quillorn {
namespace {

class SystemCodePageTest : public ::testing::Test {
protected:
    // The process's locale and LOCPATH as they were, put back after each test.
    void TearDown() override {
        std::setlocale(LC_ALL, previous_.c_str());
        qunsetenv("LOCPATH");
    }

    static bool UseLocale(const char* name) { return std::setlocale(LC_ALL, name) != nullptr; }

    std::string previous_ = std::setlocale(LC_ALL, nullptr);
};

TEST_F(SystemCodePageTest, IsUtf8UnderTheUsersLocaleCUtf8AndPlainC) {
    for (const char* name : {"ru_RU.UTF-8", "C.UTF-8", "C"}) {
        ASSERT_TRUE(UseLocale(name)) << name << " is not installed";
        EXPECT_EQ(SystemCodePage(), TextEncoding::Utf8) << name;
    }
}

TEST_F(SystemCodePageTest, IsWindows1251UnderARussianCp1251Locale) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    QProcess localedef;
    localedef.start(QStringLiteral("localedef"),
                    {QStringLiteral("-i"), QStringLiteral("ru_RU"), QStringLiteral("-f"),
                     QStringLiteral("CP1251"), folder.filePath(QStringLiteral("ru_RU.CP1251"))});
    ASSERT_TRUE(localedef.waitForFinished(60000));
    ASSERT_EQ(localedef.exitCode(), 0) << localedef.readAllStandardError().toStdString();
    qputenv("LOCPATH", folder.path().toLocal8Bit());
    ASSERT_TRUE(UseLocale("ru_RU.CP1251"));
    EXPECT_EQ(SystemCodePage(), TextEncoding::Windows1251);
}

}  // namespace
}  // namespace quillorn
