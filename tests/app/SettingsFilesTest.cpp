#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include "frontend/AppSettings.h"
#include "frontend/CardListFile.h"
#include "frontend/IniFile.h"
#include "platform/AtomicFile.h"
#include "platform/Errors.h"
#include "tests/support/FolderFixture.h"

namespace quillorn {
namespace {

using SettingsFilesTest = test::FolderFixture;

TEST_F(SettingsFilesTest, IntegersAreDecimalOrHexadecimalAfter0x) {
    EXPECT_EQ(ParseIniInteger(QStringLiteral("30")), 30);
    EXPECT_EQ(ParseIniInteger(QStringLiteral("0x1E")), 30);
    EXPECT_EQ(ParseIniInteger(QStringLiteral("0X1e")), 30);
    EXPECT_EQ(ParseIniInteger(QStringLiteral(" -5 ")), -5);
    EXPECT_EQ(ParseIniInteger(QStringLiteral("+7")), 7);
    EXPECT_EQ(ParseIniInteger(QStringLiteral("0xFFFFFFFF")), -1);
    EXPECT_EQ(ParseIniInteger(QStringLiteral("2147483647")), 2147483647);
    for (const char* notInteger :
         {"yes", "", "12abc", "0x", "1.5", "2147483648", "0x100000000", "$1E", "- 3"})
        EXPECT_EQ(ParseIniInteger(QString::fromLatin1(notInteger)), std::nullopt) << notInteger;
}

TEST_F(SettingsFilesTest, KeysAreReadFromTheSettingsSectionWhateverTheLetterCase) {
    const AppSettings s = AppSettings::Read(IniFile::FromBytes(
        "[Other]\nVerticalMode=1\n[settings]\n verticalmode = 0 \nREPEATINTERVAL=\"0x1E\"\n"
        "DoRepeat=2\nNoReviewsNoWrites=0\nDoRepeat=0\n"));
    EXPECT_FALSE(s.verticalMode);
    EXPECT_EQ(s.repeatInterval, 30);
    EXPECT_TRUE(s.doRepeat);  // any integer but 0, and the first occurrence counts
    EXPECT_FALSE(s.noReviewsNoWrites);
}

TEST_F(SettingsFilesTest, WritingKeepsOtherLinesAndTheFilesEncoding) {
    const QString text =
        QStringLiteral("[Settings]\r\nRepeatInterval=5\r\n\r\n[Window]\r\nx=1\r\n");
    QByteArray utf16;
    utf16 += "\xFF\xFE";
    utf16 += QByteArray(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
    Write(QStringLiteral("settings.ini"), utf16);

    IniFile ini = IniFile::Load(Path(QStringLiteral("settings.ini")));
    AppSettings settings;
    settings.repeatInterval = 60;
    settings.doRepeat = true;
    settings.WriteTo(ini);
    ini.Save(Path(QStringLiteral("settings.ini")));

    const QByteArray bytes = Read(QStringLiteral("settings.ini"));
    ASSERT_TRUE(bytes.startsWith("\xFF\xFE"));
    const QString written = QString::fromUtf16(
        reinterpret_cast<const char16_t*>(bytes.constData() + 2), (bytes.size() - 2) / 2);
    EXPECT_EQ(written,
              QStringLiteral("[Settings]\r\nRepeatInterval=60\r\nVerticalMode=1\r\nDoRepeat=1\r\n"
                             "NoReviewsNoWrites=1\r\n\r\n[Window]\r\nx=1\r\n"));
}

constexpr TextEncoding kCp1251 = TextEncoding::Windows1251;
constexpr TextEncoding kUtf8 = TextEncoding::Utf8;

TEST_F(SettingsFilesTest, CardListIsReadByMarkWithCrLfLineEndsAndWrittenBackTheSameWay) {
    Write(QStringLiteral("utf8.txt"), "\xEF\xBB\xBF\xD0\xB0\nb\rc\r\n");
    const std::optional<CardListFile> utf8 =
        CardListFile::Load(Path(QStringLiteral("utf8.txt")), kCp1251);
    ASSERT_TRUE(utf8);
    EXPECT_EQ(utf8->text, QStringLiteral("а\r\nb\r\nc"));  // the final line end adds no line
    utf8->Save(Path(QStringLiteral("utf8.txt")), kCp1251);
    EXPECT_EQ(Read(QStringLiteral("utf8.txt")), "\xEF\xBB\xBF\xD0\xB0\r\nb\r\nc\r\n");

    Write(QStringLiteral("utf16be.txt"), QByteArray("\xFE\xFF\x04\x30\x00\n\x00x", 8));
    const std::optional<CardListFile> be =
        CardListFile::Load(Path(QStringLiteral("utf16be.txt")), kCp1251);
    ASSERT_TRUE(be);
    EXPECT_EQ(be->text, QStringLiteral("а\r\nx"));
    be->Save(Path(QStringLiteral("utf16be.txt")), kCp1251);
    EXPECT_EQ(Read(QStringLiteral("utf16be.txt")),
              QByteArray("\xFE\xFF\x04\x30\x00\r\x00\n\x00x\x00\r\x00\n", 14));

    // Without a mark the bytes are the single-byte code page, and go back unchanged.
    Write(QStringLiteral("ansi.txt"), "\xCA\xE0\xF4\xE5\x98\r\n");
    const std::optional<CardListFile> ansi =
        CardListFile::Load(Path(QStringLiteral("ansi.txt")), kCp1251);
    ASSERT_TRUE(ansi);
    EXPECT_EQ(ansi->text.left(4), QStringLiteral("Кафе"));
    ansi->Save(Path(QStringLiteral("ansi.txt")), kCp1251);
    EXPECT_EQ(Read(QStringLiteral("ansi.txt")), "\xCA\xE0\xF4\xE5\x98\r\n");

    EXPECT_EQ(CardListFile::Load(Path(QStringLiteral("absent.txt")), kCp1251), std::nullopt);
}

TEST_F(SettingsFilesTest, ACardListTheCodePageCannotHoldIsWrittenAsUtf8InsteadOfDamaged) {
    CardListFile file;
    file.text = QStringLiteral("https://例え.jp/firm/1");
    file.Save(Path(QStringLiteral("urls.txt")), kCp1251);
    const QByteArray bytes = Read(QStringLiteral("urls.txt"));
    EXPECT_EQ(bytes, "\xEF\xBB\xBF" + file.text.toUtf8() + "\r\n");
    EXPECT_EQ(CardListFile::Load(Path(QStringLiteral("urls.txt")), kCp1251)->text, file.text);
}

TEST_F(SettingsFilesTest, UnderAUtf8CodePageACardListIsUtf8WithoutAMarkUnlessItIsNotUtf8) {
    const QString url = QStringLiteral("https://2gis.ru/moscow/search/кафе");
    Write(QStringLiteral("urls.txt"), url.toUtf8() + "\n");
    const std::optional<CardListFile> utf8 =
        CardListFile::Load(Path(QStringLiteral("urls.txt")), kUtf8);
    ASSERT_TRUE(utf8);
    EXPECT_EQ(utf8->text, url);
    utf8->Save(Path(QStringLiteral("urls.txt")), kUtf8);
    EXPECT_EQ(Read(QStringLiteral("urls.txt")), url.toUtf8() + "\r\n");

    // A list from the Windows program stays in its code page.
    Write(QStringLiteral("ansi.txt"), "\xCA\xE0\xF4\xE5\r\n");
    const std::optional<CardListFile> ansi =
        CardListFile::Load(Path(QStringLiteral("ansi.txt")), kUtf8);
    ASSERT_TRUE(ansi);
    EXPECT_EQ(ansi->text, QStringLiteral("Кафе"));
    ansi->Save(Path(QStringLiteral("ansi.txt")), kUtf8);
    EXPECT_EQ(Read(QStringLiteral("ansi.txt")), "\xCA\xE0\xF4\xE5\r\n");

    // "Рё" in Windows-1251 is D0 B8, which is "и" in UTF-8: such a list goes over to UTF-8 with
    // its mark rather than come back as another URL.
    CardListFile edited = *ansi;
    edited.text = QStringLiteral("Рё");
    edited.Save(Path(QStringLiteral("ansi.txt")), kUtf8);
    EXPECT_EQ(Read(QStringLiteral("ansi.txt")), "\xEF\xBB\xBF" + edited.text.toUtf8() + "\r\n");

    CardListFile fresh = CardListFile::New(kUtf8);
    fresh.text = url;
    fresh.Save(Path(QStringLiteral("new.txt")), kUtf8);
    EXPECT_EQ(Read(QStringLiteral("new.txt")), url.toUtf8() + "\r\n");
}

TEST_F(SettingsFilesTest, AFileThatCannotBeReplacedRaisesAndTheOldOneStays) {
    Write(QStringLiteral("keep.txt"), "old");
    const QString inMissingDir = Path(QStringLiteral("no/such/file.txt"));
    try {
        ReplaceFileContents(inMissingDir, "new");
        FAIL() << "no failure";
    } catch (const OutputFailure& failure) {
        EXPECT_TRUE(failure.Message().startsWith(QStringLiteral("Cannot create file \"%1\". ")
                                                     .arg(QDir::toNativeSeparators(inMissingDir))));
    }
    QDir(tmp.path()).mkdir(QStringLiteral("dir.txt"));
    EXPECT_THROW(ReplaceFileContents(Path(QStringLiteral("dir.txt")), "new"), OutputFailure);
    ReplaceFileContents(Path(QStringLiteral("keep.txt")), "new");
    EXPECT_EQ(Read(QStringLiteral("keep.txt")), "new");
    EXPECT_EQ(QDir(tmp.path()).entryList(QDir::Files), QStringList({"keep.txt"}));
}

}  // namespace
}  // namespace quillorn
