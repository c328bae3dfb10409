// What only POSIX systems have: FIFOs, devices under /dev and a file size limit that makes a
// write fail as a full disk does.
#include "platform/Errors.h"
#include "platform/LockedFile.h"
#include "tests/platform/LockedFileFixture.h"
#include "tests/support/FileSizeLimit.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quillorn::test {
namespace {

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
}  // namespace quillorn::test
