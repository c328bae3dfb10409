#include "platform/FolderRunLock.h"

#include "platform/Errors.h"

#include <gtest/gtest.h>
#include <QProcess>
#include <QTemporaryDir>

namespace quillorn {
namespace {

class FolderRunLockTest : public ::testing::Test {
protected:
    // Starts `program` (cat, so it lives until its input ends) and waits until it echoes a line:
    // by then it runs, with whatever it inherited.
    static void StartEchoing(QProcess& process, const QString& program, const QStringList& args) {
        process.start(program, args);
        ASSERT_TRUE(process.waitForStarted()) << program.toStdString();
        process.write("ready\n");
        while (!process.canReadLine())
            ASSERT_TRUE(process.waitForReadyRead()) << program.toStdString();
    }
    static void EndEchoing(QProcess& process) {
        process.closeWriteChannel();
        ASSERT_TRUE(process.waitForFinished());
    }

    // The exit code of util-linux flock trying the folder without waiting: 0 taken, 1 busy.
    int OtherProgramTries() const {
        return QProcess::execute(QStringLiteral("flock"),
                                 {QStringLiteral("-n"), temp.path(), QStringLiteral("true")});
    }

    QTemporaryDir temp;
    AppDir dir{temp.path()};
};

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

TEST_F(FolderRunLockTest, ExcludesAnotherProgramBothWays) {
    {
        const std::optional<FolderRunLock> lock = FolderRunLock::TryTake(dir);
        ASSERT_TRUE(lock.has_value());
        EXPECT_EQ(OtherProgramTries(), 1);
    }
    EXPECT_EQ(OtherProgramTries(), 0);

    QProcess holder;  // flock holds the folder while cat runs (-o: cat does not inherit it)
    StartEchoing(holder, QStringLiteral("flock"),
                 {QStringLiteral("-n"), QStringLiteral("-o"), temp.path(), QStringLiteral("cat")});
    EXPECT_TRUE(FolderRunLock::IsBusy(dir));
    EXPECT_FALSE(FolderRunLock::TryTake(dir).has_value());
    EndEchoing(holder);
    EXPECT_TRUE(FolderRunLock::TryTake(dir).has_value());
}

TEST_F(FolderRunLockTest, AProgramStartedWhileHeldDoesNotKeepTheFolder) {
    QProcess child;
    {
        const std::optional<FolderRunLock> lock = FolderRunLock::TryTake(dir);
        ASSERT_TRUE(lock.has_value());
        StartEchoing(child, QStringLiteral("cat"), {});
    }
    EXPECT_FALSE(FolderRunLock::IsBusy(dir));
    EndEchoing(child);
}

TEST_F(FolderRunLockTest, FolderThatCannotBeOpenedIsAFailure) {
    const AppDir missing(temp.filePath(QStringLiteral("gone")));
    try {
        (void)FolderRunLock::TryTake(missing);
        FAIL() << "a missing folder was locked";
    } catch (const Failure& failure) {
        EXPECT_EQ(failure.Message(),
                  "Cannot lock folder \"" + missing.Path() + "\". No such file or directory");
    }
    EXPECT_THROW(FolderRunLock::IsBusy(missing), Failure);
}

}  // namespace
}  // namespace quillorn
