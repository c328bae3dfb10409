#include "tests/app/FilesFolderFixture.h"

namespace quillorn::test {
namespace {

TEST_F(FilesFolderTest, AWritableProgramFolderKeepsTheFilesAndNoOtherFolderIsMade) {
    const UserFolders user{Path(QStringLiteral("data")), Path(QStringLiteral("home"))};
    EXPECT_EQ(ChooseFilesFolder(program, true, user).Path(), program.Path());
    EXPECT_TRUE(QDir(tmp.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).isEmpty());
}

TEST_F(FilesFolderTest, OtherwiseTheDataHomeGetsAPrivateFolderMadeWithItsParents) {
    const UserFolders user{Path(QStringLiteral("a/b")), Path(QStringLiteral("home"))};
    const AppDir chosen = ChooseFilesFolder(program, false, user);
    EXPECT_EQ(chosen.Path(), Path(QStringLiteral("a/b/Quillorn/")));
    EXPECT_TRUE(QFileInfo(Path(QStringLiteral("a/b/Quillorn"))).isDir());
    EXPECT_FALSE(Exists(QStringLiteral("home")));
    // The next start finds it as it was.
    Write(QStringLiteral("a/b/Quillorn/urls.txt"), "x");
    EXPECT_EQ(ChooseFilesFolder(program, false, user).Path(), chosen.Path());
    EXPECT_EQ(Read(QStringLiteral("a/b/Quillorn/urls.txt")), "x");
}

TEST_F(FilesFolderTest, NoHomeOrAFileInTheFoldersPlaceIsAClearError) {
    EXPECT_THROW(ChooseFilesFolder(program, false, UserFolders{}), FilesFolderUnavailable);
    Write(QStringLiteral("Quillorn"), "not a folder");
    try {
        ChooseFilesFolder(program, false, UserFolders{tmp.path(), {}});
        ADD_FAILURE() << "a file took the folder's place";
    } catch (const FilesFolderUnavailable& error) {
        EXPECT_TRUE(
            error.Message().contains(QDir::toNativeSeparators(Path(QStringLiteral("Quillorn")))))
            << error.what();
    }
    EXPECT_EQ(Read(QStringLiteral("Quillorn")), "not a folder");
}

}  // namespace
}  // namespace quillorn::test
