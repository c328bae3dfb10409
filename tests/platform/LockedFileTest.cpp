#include "platform/LockedFile.h"

#include "platform/Errors.h"

#include <gtest/gtest.h>
#include <QFile>
#include <QTemporaryDir>

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

TEST_F(LockedFileTest, WriteToAFullDeviceRaisesOutputFailureWithTheSystemText) {
    LockedFile file;
    ASSERT_TRUE(file.Open("/dev/full", LockedFile::Mode::OpenOrAppend));
    try {
        file.Write("x");
        FAIL() << "no failure";
    } catch (const OutputFailure& failure) {
        EXPECT_EQ(failure.Message(), "Cannot write file \"/dev/full\". No space left on device");
    }
}

}  // namespace
}  // namespace quillorn
