#include "frontend/StartupRefusals.h"

#include "app/RepeatTimer.h"
#include "app/UserId.h"
#include "app/WindowInstance.h"
#include "net/TlsContext.h"

#include "tests/app/MainWindowFixture.h"

namespace quillorn::test {
namespace {

const QString kEnding = QStringLiteral(
    "Для корректной работы программы извлеките файлы программы из архива в отдельную папку. Это "
    "можно сделать, кликнув правой кнопкой мыши на архиве и выбрав пункт меню \"Извлечь все\"");
const QString kArchive = QStringLiteral("Вы запустили программу изнутри архива!\r\n") + kEnding;
const QString kTemporary = QStringLiteral(
                               "Программа запущена из временной папки!\r\nСкорее всего, Вы "
                               "запустили программу изнутри архива.\r\n") +
                           kEnding;
const QString kNoTls = QStringLiteral(
                           "Программа не обнаружила необходимые для работы файлы!\r\nВероятно, "
                           "Вы запустили программу изнутри архива!\r\n") +
                       kEnding;

TEST(StartupRefusalTest, ChecksArchiveThenTemporaryFolderThenTlsLibrary) {
    EXPECT_EQ(StartupRefusal(QStringLiteral("/home/u/Rar$EXa1.234/"), true), kArchive);
    EXPECT_EQ(StartupRefusal(QStringLiteral("/home/u/Temp/Rar$EX/"), false), kArchive);
    EXPECT_EQ(StartupRefusal(QStringLiteral("/home/u/rar$ex/"), true), std::nullopt);
    EXPECT_EQ(StartupRefusal(QStringLiteral("/home/u/TEMP/q/"), true), kTemporary);
    EXPECT_EQ(StartupRefusal(QStringLiteral("/home/u/temp/"), false), kTemporary);
    EXPECT_EQ(StartupRefusal(QStringLiteral("/tmp/q/"), true), std::nullopt);
    EXPECT_EQ(StartupRefusal(QStringLiteral("/home/u/Temporary/tempo/"), true), std::nullopt);
    EXPECT_EQ(StartupRefusal(QStringLiteral("/opt/quillorn/"), false), kNoTls);
    EXPECT_TRUE(TlsAvailable());
}

class RefusedWindowTest : public MainWindowFixture {};

TEST_F(RefusedWindowTest, ShowsTheWarningWithoutIconEndsTheProcessAndWritesNothing) {
    const QString dir = Path(QStringLiteral("Rar$DI12.345"));
    ASSERT_TRUE(QDir().mkpath(dir));
    Write(QStringLiteral("Rar$DI12.345/settings.ini"), "[Settings]\r\nDoRepeat=1\r\n");
    programDir = dir;  // a portable copy unpacked there keeps its files beside itself
    MainWindow& window = MakeForm(dir);
    window.show();
    ASSERT_EQ(boxes.seen.size(), 1);
    EXPECT_EQ(boxes.seen[0].title, QStringLiteral("Внимание!"));
    EXPECT_EQ(boxes.seen[0].icon, QMessageBox::NoIcon);
    EXPECT_EQ(boxes.seen[0].text, kArchive);
    EXPECT_EQ(endedWith, 1);
    EXPECT_FALSE(window.Timer().Counting());
    EXPECT_TRUE(Memo("LogsMemo")->toPlainText().isEmpty());  // no greeting
    window.close();
    EXPECT_EQ(QDir(dir).entryList(QDir::Files), QStringList({"settings.ini"}));
}

TEST_F(RefusedWindowTest, JudgesTheProgramsFolderNotTheFilesFolder) {
    programDir = Path(QStringLiteral("Rar$DI12.345"));
    MainWindow& window = MakeForm();
    window.show();
    ASSERT_EQ(boxes.seen.size(), 1);
    EXPECT_EQ(boxes.seen[0].text, kArchive);
    EXPECT_EQ(endedWith, 1);
}

TEST_F(RefusedWindowTest, AMissingTlsLibraryIsTheThirdRefusal) {
    MainWindow& window = MakeForm({}, {}, false);
    window.show();
    ASSERT_EQ(boxes.seen.size(), 1);
    EXPECT_EQ(boxes.seen[0].text, kNoTls);
    EXPECT_EQ(endedWith, 1);
}

// The real program, copied into a folder: it runs until it is asked to end with SIGTERM, which
// closes the window as a session's end would. A refused start ends with 1 and writes nothing; an
// accepted one saves its files on the way out.
class RealProgramTest : public RealProgramFixture {};

TEST_F(RealProgramTest, RefusesArchiveAndTemporaryFoldersAndEndsWithoutWriting) {
    const QString archive = Install(QStringLiteral("Rar$EXa0.123"));
    const Ending refusedArchive = RunAndTerminate(archive);
    EXPECT_EQ(refusedArchive.exitCode, 1);
    EXPECT_TRUE(refusedArchive.errors.contains(QStringLiteral("Вы запустили программу изнутри")));
    EXPECT_EQ(Files(archive), QStringList({kProgram}));
    // Nor does it leave its claim on the folder behind.
    EXPECT_FALSE(QFile::exists(QDir::temp().filePath(
        WindowInstanceName(QFileInfo(archive).canonicalFilePath(), CurrentUserId()))));

    const QString temporary = Install(QStringLiteral("x/TEMP/app"));
    const Ending refusedTemporary = RunAndTerminate(temporary);
    EXPECT_EQ(refusedTemporary.exitCode, 1);
    EXPECT_TRUE(refusedTemporary.errors.contains(QStringLiteral("из временной папки")));
    EXPECT_EQ(Files(temporary), QStringList({kProgram}));
}

TEST_F(RealProgramTest, RunsFromLowerCaseRarAndTemporaryLikeNamesAndSavesOnTheWayOut) {
    const QString dir = Install(QStringLiteral("rar$ex/Temporary"));
    const Ending ending = RunAndTerminate(dir);
    EXPECT_EQ(ending.exitCode, 0);
    EXPECT_FALSE(ending.errors.contains(QStringLiteral("архива")));
    EXPECT_EQ(Files(dir), QStringList({kProgram, "settings.ini", "urls.txt"}));
}

TEST_F(RealProgramTest, ASignalEndsItWithTheFailureOnStandardErrorWhenTheListCannotBeSaved) {
    const QString dir = Install(QStringLiteral("full"));
    ASSERT_TRUE(QDir(dir).mkdir(QStringLiteral("urls.txt")));
    const Ending ending = RunAndTerminate(dir);
    EXPECT_EQ(ending.exitCode, 1);
    const QString list = QDir::toNativeSeparators(QDir(dir).filePath(QStringLiteral("urls.txt")));
    EXPECT_TRUE(ending.errors.contains(QStringLiteral("Cannot create file \"%1\". ").arg(list)))
        << ending.errors.toStdString();
    EXPECT_EQ(Files(dir), QStringList({kProgram, "settings.ini"}));
}

}  // namespace
}  // namespace quillorn::test
