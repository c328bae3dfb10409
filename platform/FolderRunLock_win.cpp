// The Windows twin of FolderRunLock.cpp. A folder cannot be locked on Windows, so the lock is a
// hidden file inside it, ".quillorn.lock", held with LockFileEx (WindowsFileLock.h): exclusively
// by a run, shared for an instant by IsBusy. The file is created by the first run in the folder
// and never deleted: another program may hold it open at any moment, and a lock on a deleted name
// would no longer keep anyone out.
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <QDir>

#include "platform/Errors.h"
#include "platform/FolderRunLock.h"
#include "platform/WindowsErrorText.h"
#include "platform/WindowsFileLock.h"

namespace quillorn {
namespace {

constexpr wchar_t kLockFileName[] = L".quillorn.lock";

[[noreturn]] void ThrowLockFailure(const AppDir& dir, DWORD error) {
    throw Failure(QStringLiteral("Cannot lock folder \"%1\". %2")
                      .arg(QDir::toNativeSeparators(dir.Path()), WindowsErrorText(error)));
}

// The folder's lock file, open, closed when it goes out of scope unless a lock took it over.
class OpenedLockFile {
public:
    // create: make the file when it is not there yet (a run taking the lock). Without it, a
    // folder without the file holds no run, and asking leaves nothing behind. The handle is
    // shared in every way: only the lock keeps a second run out.
    OpenedLockFile(const AppDir& dir, bool create) : dir_(dir) {
        const std::wstring path =
            QDir::toNativeSeparators(dir.Path()).toStdWString() + kLockFileName;
        handle_ = ::CreateFileW(
            path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
            nullptr, create ? OPEN_ALWAYS : OPEN_EXISTING,
            FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED, nullptr);
        if (handle_ != INVALID_HANDLE_VALUE)
            return;
        const DWORD error = ::GetLastError();
        if (create || error != ERROR_FILE_NOT_FOUND)
            ThrowLockFailure(dir_, error);
    }
    // Unlocked before closing: Windows releases the locks of a closed handle only when it gets
    // round to it, and a run starting right after IsBusy must not meet a lock nobody holds.
    ~OpenedLockFile() {
        if (handle_ == INVALID_HANDLE_VALUE)
            return;
        UnlockHandle(reinterpret_cast<std::intptr_t>(handle_));
        ::CloseHandle(handle_);
    }
    OpenedLockFile(const OpenedLockFile&) = delete;
    OpenedLockFile& operator=(const OpenedLockFile&) = delete;

    bool IsOpen() const { return handle_ != INVALID_HANDLE_VALUE; }

    // Locks without waiting: true when taken, false when another holder has it.
    bool Lock(bool exclusive) {
        switch (TryLockHandle(reinterpret_cast<std::intptr_t>(handle_), exclusive)) {
            case LockOutcome::Taken:
                return true;
            case LockOutcome::HeldElsewhere:
                return false;
            case LockOutcome::Failed:
                break;
        }
        ThrowLockFailure(dir_, ::GetLastError());
    }

    // The handle as a C library descriptor, which the lock object keeps.
    int Release() {
        const int fd =
            ::_open_osfhandle(reinterpret_cast<std::intptr_t>(handle_), O_RDONLY | O_BINARY);
        if (fd < 0)
            ThrowLockFailure(dir_, ERROR_TOO_MANY_OPEN_FILES);
        handle_ = INVALID_HANDLE_VALUE;
        return fd;
    }

private:
    const AppDir& dir_;
    HANDLE handle_ = INVALID_HANDLE_VALUE;
};

}  // namespace

std::optional<FolderRunLock> FolderRunLock::TryTake(const AppDir& dir) {
    OpenedLockFile file(dir, true);
    if (!file.Lock(true))
        return std::nullopt;
    return FolderRunLock(file.Release());
}

bool FolderRunLock::IsBusy(const AppDir& dir) {
    OpenedLockFile file(dir, false);
    if (!file.IsOpen())
        return false;          // no run has ever locked the folder
    return !file.Lock(false);  // dropped again as the file closes
}

void FolderRunLock::Release() noexcept {
    if (fd_ < 0)
        return;
    UnlockHandle(::_get_osfhandle(fd_));
    ::_close(fd_);
    fd_ = -1;
}

}  // namespace quillorn
