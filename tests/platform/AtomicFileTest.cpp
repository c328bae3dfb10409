#include "platform/AtomicFile.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <sys/stat.h>

namespace quillorn {
namespace {

class WholeFileReadTest : public ::testing::Test {
protected:
    QTemporaryDir temp;
    QString path = temp.filePath("state.dat");
};

TEST_F(WholeFileReadTest, AbsentIsNothingAndAnEmptyFileIsNoBytes) {
    EXPECT_EQ(ReadWholeFile(path), std::nullopt);
    ReplaceFileContents(path, QByteArray("a\0b\r\n", 5));
    EXPECT_EQ(ReadWholeFile(path), QByteArray("a\0b\r\n", 5));
    ReplaceFileContents(path, {});
    EXPECT_EQ(ReadWholeFile(path), QByteArray());
}

// A state file that is only out of reach must never read as absent: the store would deliver every
// review again, the proxy would be bypassed.
TEST_F(WholeFileReadTest, ANameThatIsThereButCannotBeReadFails) {
    ASSERT_TRUE(QDir(temp.path()).mkdir("state.dat"));
    try {
        ReadWholeFile(path);
        FAIL() << "a directory read as a file";
    } catch (const FileReadFailure& failure) {
        EXPECT_EQ(failure.FailedStep(), FileReadFailure::Step::Open);
        EXPECT_EQ(failure.Path(), path);
        EXPECT_EQ(failure.Message(), "Cannot read file \"" + path + "\". " + failure.Reason());
    }

    const QString link = temp.filePath("link.dat");
    ASSERT_TRUE(QFile::link(temp.filePath("nowhere"), link));
    EXPECT_THROW(ReadWholeFile(link), FileReadFailure);

    // Opens, then fails on the first read.
    try {
        ReadWholeFile(QStringLiteral("/proc/self/mem"));
        FAIL() << "an unreadable file read as empty";
    } catch (const FileReadFailure& failure) {
        EXPECT_EQ(failure.FailedStep(), FileReadFailure::Step::Read);
        EXPECT_FALSE(failure.Reason().isEmpty());
    }
}

// A FIFO put in place of a state file would block the open until some program wrote to it, beyond
// the reach of any signal; a device would be read as if it were the file.
TEST_F(WholeFileReadTest, AnythingButARegularFileIsRefusedWithoutWaiting) {
    ASSERT_EQ(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    for (const QString& name : {path, QStringLiteral("/dev/null")}) {
        try {
            ReadWholeFile(name);
            FAIL() << name.toStdString() << " read as a file";
        } catch (const FileReadFailure& failure) {
            EXPECT_EQ(failure.FailedStep(), FileReadFailure::Step::Open);
            EXPECT_EQ(failure.Reason(), "It is not a regular file.");
        }
    }
}

}  // namespace
}  // namespace quillorn
