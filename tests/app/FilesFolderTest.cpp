#include "frontend/FilesFolder.h"

#include <sys/stat.h>

#include "tests/support/FolderFixture.h"

namespace quillorn::test {
namespace {

class FilesFolderTest : public FolderFixture {
protected:
    static int Mode(const QString& path) {
        struct stat info {};
        return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? (info.st_mode & 0777) : -1;
    }

    AppDir program{QStringLiteral("/opt/quillorn")};
};

TEST_F(FilesFolderTest, AWritableProgramFolderKeepsTheFilesAndNoOtherFolderIsMade) {
    const UserFolders user{Path(QStringLiteral("data")), Path(QStringLiteral("home"))};
    EXPECT_EQ(ChooseFilesFolder(program, true, user).Path(), program.Path());
    EXPECT_TRUE(QDir(tmp.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).isEmpty());
}

TEST_F(FilesFolderTest, OtherwiseTheDataHomeGetsAPrivateFolderMadeWithItsParents) {
    const UserFolders user{Path(QStringLiteral("a/b")), Path(QStringLiteral("home"))};
    const AppDir chosen = ChooseFilesFolder(program, false, user);
    EXPECT_EQ(chosen.Path(), Path(QStringLiteral("a/b/Quillorn/")));
    EXPECT_EQ(Mode(Path(QStringLiteral("a/b/Quillorn"))), 0700);
    EXPECT_FALSE(Exists(QStringLiteral("home")));
    // The next start finds it as it was.
    Write(QStringLiteral("a/b/Quillorn/urls.txt"), "x");
    EXPECT_EQ(ChooseFilesFolder(program, false, user).Path(), chosen.Path());
    EXPECT_EQ(Read(QStringLiteral("a/b/Quillorn/urls.txt")), "x");
}

TEST_F(FilesFolderTest, WithoutAnAbsoluteDataHomeTheFolderIsUnderTheHomesLocalShare) {
    for (const QString& dataHome : {QString(), QStringLiteral("relative/data")}) {
        const UserFolders user{dataHome, Path(QStringLiteral("home"))};
        EXPECT_EQ(ChooseFilesFolder(program, false, user).Path(),
                  Path(QStringLiteral("home/.local/share/Quillorn/")));
    }
    EXPECT_FALSE(QFileInfo::exists(QStringLiteral("relative")));
}

TEST_F(FilesFolderTest, NoHomeOrAFileInTheFoldersPlaceIsAClearError) {
    EXPECT_THROW(ChooseFilesFolder(program, false, UserFolders{}), FilesFolderUnavailable);
    Write(QStringLiteral("Quillorn"), "not a folder");
    try {
        ChooseFilesFolder(program, false, UserFolders{tmp.path(), {}});
        ADD_FAILURE() << "a file took the folder's place";
    } catch (const FilesFolderUnavailable& error) {
        EXPECT_TRUE(error.Message().contains(Path(QStringLiteral("Quillorn")))) << error.what();
    }
    EXPECT_EQ(Read(QStringLiteral("Quillorn")), "not a folder");
}

TEST_F(FilesFolderTest, TheProgramFolderKeepsFilesWhenWritableAndNeverUnderUsr) {
    EXPECT_TRUE(KeepsFilesBesideProgram(AppDir(tmp.path())));
    EXPECT_FALSE(KeepsFilesBesideProgram(AppDir(Path(QStringLiteral("missing")))));
    // Not even for root, who may write there: the package manager owns /usr.
    EXPECT_FALSE(KeepsFilesBesideProgram(AppDir(QStringLiteral("/usr/lib/quillorn"))));
}

}  // namespace
}  // namespace quillorn::test
