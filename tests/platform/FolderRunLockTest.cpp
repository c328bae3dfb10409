#include "platform/FolderRunLock.h"

#include "platform/Errors.h"
#include "tests/platform/FolderRunLockFixture.h"

#include <QDir>
#include <QFile>

namespace quillorn::test {
namespace {

TEST_F(FolderRunLockTest, OneHolderAtATimeInThisProgram) {
    std::optional<FolderRunLock> first = FolderRunLock::TryTake(dir);
    ASSERT_TRUE(first.has_value());
    // The lock belongs to an open of the folder: a second open in this program is refused too.
    EXPECT_TRUE(FolderRunLock::IsBusy(dir));
    EXPECT_FALSE(FolderRunLock::TryTake(dir).has_value());

    FolderRunLock moved = std::move(*first);
    first.reset();  // the moved-from object has nothing to release
    EXPECT_TRUE(FolderRunLock::IsBusy(dir));

    QTemporaryDir other;
    moved = std::move(*FolderRunLock::TryTake(AppDir(other.path())));
    EXPECT_FALSE(FolderRunLock::IsBusy(dir));
    EXPECT_TRUE(FolderRunLock::IsBusy(AppDir(other.path())));
    EXPECT_TRUE(FolderRunLock::TryTake(dir).has_value());
}

TEST_F(FolderRunLockTest, AskingWhetherBusyNeverKeepsARunOut) {
    EXPECT_FALSE(FolderRunLock::IsBusy(dir));
    EXPECT_FALSE(FolderRunLock::IsBusy(dir));
    EXPECT_TRUE(FolderRunLock::TryTake(dir).has_value());
    EXPECT_FALSE(FolderRunLock::IsBusy(dir));
    EXPECT_TRUE(FolderRunLock::TryTake(dir).has_value());
}

TEST_F(FolderRunLockTest, FolderThatCannotBeOpenedIsAFailure) {
    const AppDir missing(temp.filePath(QStringLiteral("gone")));
    QFile inside(missing.FilePath(QStringLiteral("file")));  // the system's words for the folder
    ASSERT_FALSE(inside.open(QIODevice::ReadOnly));
    try {
        (void)FolderRunLock::TryTake(missing);
        FAIL() << "a missing folder was locked";
    } catch (const Failure& failure) {
        EXPECT_EQ(failure.Message(), "Cannot lock folder \"" +
                                         QDir::toNativeSeparators(missing.Path()) + "\". " +
                                         inside.errorString());
    }
    EXPECT_THROW(FolderRunLock::IsBusy(missing), Failure);
}

}  // namespace
}  // namespace quillorn::test
