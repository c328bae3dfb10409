// The files folder on POSIX: the data folder private to the user, the home's .local/share, and
// /usr, which the package manager owns.
#include <sys/stat.h>

#include "tests/app/FilesFolderFixture.h"

namespace quillorn::test {
namespace {

int Mode(const QString& path) {
    struct stat info {};
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? (info.st_mode & 0777) : -1;
}

TEST_F(FilesFolderTest, TheDataFolderAndTheParentsMadeForItArePrivateToTheUser) {
    const UserFolders user{Path(QStringLiteral("a/b")), Path(QStringLiteral("home"))};
    ChooseFilesFolder(program, false, user);
    EXPECT_EQ(Mode(Path(QStringLiteral("a"))), 0700);
    EXPECT_EQ(Mode(Path(QStringLiteral("a/b/Quillorn"))), 0700);
}

TEST_F(FilesFolderTest, WithoutAnAbsoluteDataHomeTheFolderIsUnderTheHomesLocalShare) {
    for (const QString& dataHome : {QString(), QStringLiteral("relative/data")}) {
        const UserFolders user{dataHome, Path(QStringLiteral("home"))};
        EXPECT_EQ(ChooseFilesFolder(program, false, user).Path(),
                  Path(QStringLiteral("home/.local/share/Quillorn/")));
    }
    EXPECT_FALSE(QFileInfo::exists(QStringLiteral("relative")));
}

TEST_F(FilesFolderTest, TheProgramFolderKeepsFilesWhenWritableAndNeverUnderUsr) {
    EXPECT_TRUE(KeepsFilesBesideProgram(AppDir(tmp.path())));
    EXPECT_FALSE(KeepsFilesBesideProgram(AppDir(Path(QStringLiteral("missing")))));
    // Not even for root, who may write there: the package manager owns /usr.
    EXPECT_FALSE(KeepsFilesBesideProgram(AppDir(QStringLiteral("/usr/lib/quillorn"))));
}

}  // namespace
}  // namespace quillorn::test
