// On Windows the lock is a hidden file inside the folder, ".quillorn.lock", which another copy of
// the program locks through a handle of its own: one is opened here in its place.
#include <windows.h>

#include <QDir>
#include <QFileInfo>

#include "platform/FolderRunLock.h"
#include "tests/platform/FolderRunLockFixture.h"

namespace quillorn::test {
namespace {

// The lock file opened and locked as another program's run holds it, until the object goes.
class OtherProgramsLock {
public:
    OtherProgramsLock(const QString& path, bool exclusive) {
        handle_ = ::CreateFileW(reinterpret_cast<const wchar_t*>(path.utf16()), GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, 0, nullptr);
        OVERLAPPED beyondEnd{};
        beyondEnd.OffsetHigh = 0x40000000u;
        locked_ =
            handle_ != INVALID_HANDLE_VALUE &&
            ::LockFileEx(handle_,
                         (exclusive ? LOCKFILE_EXCLUSIVE_LOCK : 0) | LOCKFILE_FAIL_IMMEDIATELY, 0,
                         1, 0, &beyondEnd);
    }
    ~OtherProgramsLock() {
        if (handle_ != INVALID_HANDLE_VALUE)
            ::CloseHandle(handle_);
    }
    bool Locked() const { return locked_; }

private:
    HANDLE handle_ = INVALID_HANDLE_VALUE;
    bool locked_ = false;
};

TEST_F(FolderRunLockTest, TheLockIsAHiddenFileInTheFolderThatOutlivesTheRun) {
    const QString lockFile = QDir::toNativeSeparators(dir.FilePath(".quillorn.lock"));
    EXPECT_FALSE(FolderRunLock::IsBusy(dir));
    EXPECT_FALSE(QFileInfo::exists(lockFile)) << "asking created the lock file";
    {
        const std::optional<FolderRunLock> run = FolderRunLock::TryTake(dir);
        ASSERT_TRUE(run.has_value());
        EXPECT_TRUE(QFileInfo(lockFile).isHidden());
        EXPECT_FALSE(OtherProgramsLock(lockFile, false).Locked());
    }
    EXPECT_TRUE(QFileInfo::exists(lockFile));

    {
        const OtherProgramsLock other(lockFile, true);
        ASSERT_TRUE(other.Locked());
        EXPECT_TRUE(FolderRunLock::IsBusy(dir));
        EXPECT_FALSE(FolderRunLock::TryTake(dir).has_value());
    }
    {
        const OtherProgramsLock asking(lockFile, false);  // another program asking IsBusy
        ASSERT_TRUE(asking.Locked());
        EXPECT_FALSE(FolderRunLock::IsBusy(dir));
        EXPECT_FALSE(FolderRunLock::TryTake(dir).has_value());
    }
    EXPECT_TRUE(FolderRunLock::TryTake(dir).has_value());
}

}  // namespace
}  // namespace quillorn::test
