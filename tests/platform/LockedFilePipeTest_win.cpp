// What only Windows has: devices under reserved names and named pipes, which open like files.
#include <windows.h>

#include "platform/LockedFile.h"
#include "tests/platform/LockedFileFixture.h"

namespace quillorn::test {
namespace {

TEST_F(LockedFileTest, APipeOrADeviceIsRefusedWithoutWaiting) {
    const QString pipeName =
        QStringLiteral("\\\\.\\pipe\\quillorn-locked-file-test-%1").arg(::GetCurrentProcessId());
    const HANDLE pipe =
        ::CreateNamedPipeW(reinterpret_cast<const wchar_t*>(pipeName.utf16()), PIPE_ACCESS_INBOUND,
                           PIPE_TYPE_BYTE | PIPE_WAIT, 1, 4096, 4096, 0, nullptr);
    ASSERT_NE(pipe, INVALID_HANDLE_VALUE);
    LockedFile file;
    EXPECT_FALSE(file.Open(pipeName, LockedFile::Mode::OpenOrAppend));
    EXPECT_EQ(file.ErrorText(), "It is not a regular file.");
    EXPECT_FALSE(file.IsOpen());
    ::CloseHandle(pipe);

    EXPECT_FALSE(file.Open(QStringLiteral("NUL"), LockedFile::Mode::OpenOrAppend));
    EXPECT_EQ(file.ErrorText(), "It is not a regular file.");
}

}  // namespace
}  // namespace quillorn::test
