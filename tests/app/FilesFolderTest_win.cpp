// The files folder on Windows: %LOCALAPPDATA%\Quillorn for a copy that cannot keep its files, and
// Program Files, which the installer owns, never keeping them.
#include <windows.h>

#include <shlobj.h>

#include "tests/app/FilesFolderFixture.h"

namespace quillorn::test {
namespace {

QString KnownFolder(const KNOWNFOLDERID& id) {
    PWSTR path = nullptr;
    QString folder;
    if (SUCCEEDED(::SHGetKnownFolderPath(id, KF_FLAG_DEFAULT, nullptr, &path)))
        folder = QDir::fromNativeSeparators(QString::fromWCharArray(path));
    ::CoTaskMemFree(path);
    return folder;
}

TEST_F(FilesFolderTest, TheUsersDataFolderIsTheLocalApplicationDataFolder) {
    const UserFolders user = UserFolders::OfThisProcess();
    EXPECT_EQ(QDir::cleanPath(user.dataHome),
              QDir::cleanPath(QDir::fromNativeSeparators(qEnvironmentVariable("LOCALAPPDATA"))));
    EXPECT_TRUE(QFileInfo(user.dataHome).isDir()) << user.dataHome.toStdString();
}

// An installation under Program Files: files go to %LOCALAPPDATA%\Quillorn, made with its
// parents, written with backslashes or slashes alike.
TEST_F(FilesFolderTest, AProgramUnderProgramFilesKeepsItsFilesInTheLocalApplicationData) {
    const QString programFiles = KnownFolder(FOLDERID_ProgramFiles);
    ASSERT_FALSE(programFiles.isEmpty());
    const AppDir installed(programFiles + QStringLiteral("/Quillorn"));
    // Under Wine, or for an administrator, the folder may well be writable: it is never used.
    EXPECT_FALSE(KeepsFilesBesideProgram(installed));
    EXPECT_FALSE(KeepsFilesBesideProgram(AppDir(QDir::toNativeSeparators(installed.Path()))));

    const UserFolders user{QDir::toNativeSeparators(Path(QStringLiteral("Local"))), {}};
    const AppDir chosen = ChooseFilesFolder(installed, KeepsFilesBesideProgram(installed), user);
    EXPECT_EQ(QDir::cleanPath(QDir::fromNativeSeparators(chosen.Path())),
              Path(QStringLiteral("Local/Quillorn")));
    EXPECT_TRUE(QFileInfo(Path(QStringLiteral("Local/Quillorn"))).isDir());
}

TEST_F(FilesFolderTest, AWritableProgramFolderKeepsItsFilesAndAMissingOneDoesNot) {
    EXPECT_TRUE(KeepsFilesBesideProgram(AppDir(tmp.path())));
    EXPECT_FALSE(KeepsFilesBesideProgram(AppDir(Path(QStringLiteral("missing")))));
    // The trial file is gone again.
    EXPECT_TRUE(
        QDir(tmp.path())
            .entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::Hidden | QDir::System)
            .isEmpty());
}

}  // namespace
}  // namespace quillorn::test
