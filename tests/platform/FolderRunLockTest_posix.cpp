// Other programs take the lock of a folder itself here (util-linux flock).
#include "platform/FolderRunLock.h"

#include "tests/platform/FolderRunLockFixture.h"

#include <QProcess>

namespace quillorn::test {
namespace {

// Starts `program` (cat, so it lives until its input ends) and waits until it echoes a line: by
// then it runs, with whatever it inherited.
void StartEchoing(QProcess& process, const QString& program, const QStringList& args) {
    process.start(program, args);
    ASSERT_TRUE(process.waitForStarted()) << program.toStdString();
    process.write("ready\n");
    while (!process.canReadLine())
        ASSERT_TRUE(process.waitForReadyRead()) << program.toStdString();
}

void EndEchoing(QProcess& process) {
    process.closeWriteChannel();
    ASSERT_TRUE(process.waitForFinished());
}

// The exit code of util-linux flock trying the folder without waiting: 0 taken, 1 busy.
int OtherProgramTries(const QString& folder) {
    return QProcess::execute(QStringLiteral("flock"),
                             {QStringLiteral("-n"), folder, QStringLiteral("true")});
}

TEST_F(FolderRunLockTest, ExcludesAnotherProgramBothWays) {
    {
        const std::optional<FolderRunLock> lock = FolderRunLock::TryTake(dir);
        ASSERT_TRUE(lock.has_value());
        EXPECT_EQ(OtherProgramTries(temp.path()), 1);
    }
    EXPECT_EQ(OtherProgramTries(temp.path()), 0);

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

}  // namespace
}  // namespace quillorn::test
