#include "platform/LockedFile.h"

#include "platform/Errors.h"
#include "tests/support/FileSizeLimit.h"

#include <gtest/gtest.h>
#include <QFile>
#include <QTemporaryDir>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quillorn {
namespace {

class LockedFileTest : public ::testing::Test {
protected:
    QByteArray Read() const {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }

    QTemporaryDir temp;
    QString path = temp.filePath("file.dat");
};

TEST_F(LockedFileTest, CreateNewNeverReplacesAnExistingFile) {
    LockedFile first;
    ASSERT_TRUE(first.Open(path, LockedFile::Mode::CreateNew));
    first.Write("kept");
    first.Close();
    LockedFile second;
    EXPECT_FALSE(second.Open(path, LockedFile::Mode::CreateNew));
    EXPECT_EQ(second.ErrorText(), "File exists");
    EXPECT_FALSE(second.IsOpen());
    EXPECT_EQ(Read(), "kept");
}

// A FIFO in place of the journal or a result file: a plain open for writing would wait for a
// reader for ever. With or without a reader it is refused at once, and never replaced.
TEST_F(LockedFileTest, AFifoIsRefusedWithoutWaitingForAReader) {
    const QByteArray native = QFile::encodeName(path);
    ASSERT_EQ(::mkfifo(native.constData(), 0600), 0);
    LockedFile file;
    EXPECT_FALSE(file.Open(path, LockedFile::Mode::OpenOrAppend));
    EXPECT_EQ(file.ErrorText(), "It is not a regular file.");
    EXPECT_FALSE(file.Open(path, LockedFile::Mode::CreateNew));
    EXPECT_EQ(file.ErrorText(), "File exists");

    const int reader = ::open(native.constData(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    EXPECT_FALSE(file.Open(path, LockedFile::Mode::OpenOrAppend));
    EXPECT_EQ(file.ErrorText(), "It is not a regular file.");
    EXPECT_FALSE(file.IsOpen());
    ::close(reader);

    // A device is no result file either, though it opens at once.
    EXPECT_FALSE(file.Open("/dev/full", LockedFile::Mode::OpenOrAppend));
    EXPECT_EQ(file.ErrorText(), "It is not a regular file.");
}

TEST_F(LockedFileTest, AppendKeepsTheContentAndWritesAtTheEnd) {
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("abc");
    }
    LockedFile file;
    ASSERT_TRUE(file.Open(path, LockedFile::Mode::OpenOrAppend));
    EXPECT_EQ(file.Size(), 3);
    file.Write("def");
    EXPECT_EQ(Read(), "abcdef");  // before Close
}

TEST_F(LockedFileTest, SecondWriterIsRefusedUntilTheFirstCloses) {
    LockedFile first;
    ASSERT_TRUE(first.Open(path, LockedFile::Mode::OpenOrAppend));
    first.Write("one");
    LockedFile second;
    EXPECT_FALSE(second.Open(path, LockedFile::Mode::OpenOrAppend));
    EXPECT_EQ(second.ErrorText(), "The file is being written by another program.");
    EXPECT_EQ(Read(), "one");
    LockedFile moved = std::move(first);  // the lock travels with the file
    EXPECT_FALSE(second.Open(path, LockedFile::Mode::OpenOrAppend));
    moved.Close();
    EXPECT_TRUE(second.Open(path, LockedFile::Mode::OpenOrAppend));
}

TEST_F(LockedFileTest, WriteTheSystemRefusesRaisesOutputFailureWithTheSystemText) {
    LockedFile file;
    ASSERT_TRUE(file.Open(path, LockedFile::Mode::OpenOrAppend));
    try {
        const test::FileSizeLimit full(0);  // as a full disk refuses, with the system's words
        file.Write("x");
        FAIL() << "no failure";
    } catch (const OutputFailure& failure) {
        EXPECT_EQ(failure.Message(), "Cannot write file \"" + path + "\". File too large");
    }
    EXPECT_EQ(Read(), "");
}

}  // namespace
}  // namespace quillorn
