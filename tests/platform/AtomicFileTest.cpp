#include "platform/AtomicFile.h"

#include "tests/platform/WholeFileReadFixture.h"

#include <QDir>

namespace quillorn::test {
namespace {

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
        EXPECT_EQ(failure.Message(), "Cannot read file \"" + QDir::toNativeSeparators(path) +
                                         "\". " + failure.Reason());
    }
}

}  // namespace
}  // namespace quillorn::test
