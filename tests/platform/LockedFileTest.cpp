#include "platform/LockedFile.h"

#include "tests/platform/LockedFileFixture.h"

namespace quillorn::test {
namespace {

TEST_F(LockedFileTest, CreateNewNeverReplacesAnExistingFile) {
    LockedFile first;
    ASSERT_TRUE(first.Open(path, LockedFile::Mode::CreateNew));
    first.Write("kept");
    first.Close();
    LockedFile second;
    EXPECT_FALSE(second.Open(path, LockedFile::Mode::CreateNew));
    QFile plain(path);  // the system's own words for the same refusal
    ASSERT_FALSE(plain.open(QIODevice::WriteOnly | QIODevice::NewOnly));
    EXPECT_EQ(second.ErrorText(), plain.errorString());
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

// The lock keeps out writers only: a reader reads every byte while it is held.
TEST_F(LockedFileTest, SecondWriterIsRefusedUntilTheFirstCloses) {
    LockedFile first;
    ASSERT_TRUE(first.Open(path, LockedFile::Mode::OpenOrAppend));
    first.Write("one");
    LockedFile second;
    EXPECT_FALSE(second.Open(path, LockedFile::Mode::OpenOrAppend));
    EXPECT_EQ(second.ErrorText(), "The file is being written by another program.");
    EXPECT_EQ(Read(), "one");
    first.Write("two");
    EXPECT_EQ(Read(), "onetwo");
    LockedFile moved = std::move(first);  // the lock travels with the file
    EXPECT_FALSE(second.Open(path, LockedFile::Mode::OpenOrAppend));
    moved.Close();
    EXPECT_TRUE(second.Open(path, LockedFile::Mode::OpenOrAppend));
}

TEST_F(LockedFileTest, TruncateTakesBackTheEndAndLaterWritesFollowTheNewEnd) {
    LockedFile file;
    ASSERT_TRUE(file.Open(path, LockedFile::Mode::CreateNew));
    file.Write("kept|taken back");
    ASSERT_TRUE(file.Truncate(5));
    EXPECT_EQ(file.Size(), 5);
    file.Write("next");
    EXPECT_EQ(Read(), "kept|next");
    EXPECT_EQ(file.Size(), 9);
}

}  // namespace
}  // namespace quillorn::test
