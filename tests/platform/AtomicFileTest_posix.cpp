// What only POSIX systems have: symbolic links, /proc, FIFOs and devices under /dev.
#include "platform/AtomicFile.h"

#include "tests/platform/WholeFileReadFixture.h"

#include <QFile>

#include <sys/stat.h>

namespace quillorn::test {
namespace {

TEST_F(WholeFileReadTest, ALinkThatLeadsNowhereOrAFileThatFailsOnReadingFails) {
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
}  // namespace quillorn::test
