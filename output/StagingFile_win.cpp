// The Windows twin of StagingFile.cpp. The part file is held through a handle locked beyond its
// end (platform/WindowsFileLock.h). The handle shares reading and writing, so that the workbook
// library can open the file by name and write it, and deleting, so that the finished file can be
// renamed while it is still held; it never asks for delete access itself, which the library's
// open would refuse to share. Removing goes through a second handle opened for that alone.
#include "output/StagingFile.h"

#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <QDir>

#include "platform/WindowsFileLock.h"

namespace quillorn {
namespace {

constexpr int kClaimTries = 16;
constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

std::wstring Native(const QString& path) {
    return QDir::toNativeSeparators(path).toStdWString();
}

// A handle closed when it goes out of scope.
class Handle {
public:
    explicit Handle(HANDLE handle) : handle_(handle) {}
    ~Handle() {
        if (IsOpen())
            ::CloseHandle(handle_);
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;

    bool IsOpen() const { return handle_ != INVALID_HANDLE_VALUE; }
    HANDLE Get() const { return handle_; }
    HANDLE Take() { return std::exchange(handle_, INVALID_HANDLE_VALUE); }

private:
    HANDLE handle_;
};

// The name itself, not a file a link leads to: only a regular file of ours is ever removed.
HANDLE OpenNamed(const QString& path, DWORD access) {
    return ::CreateFileW(Native(path).c_str(), access, kShareAll, nullptr, OPEN_EXISTING,
                         FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
}

bool IsPlainFile(HANDLE handle) {
    BY_HANDLE_FILE_INFORMATION info{};
    return ::GetFileType(handle) == FILE_TYPE_DISK && ::GetFileInformationByHandle(handle, &info) &&
           !(info.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT));
}

bool SameFile(HANDLE a, HANDLE b) {
    BY_HANDLE_FILE_INFORMATION x{};
    BY_HANDLE_FILE_INFORMATION y{};
    return ::GetFileInformationByHandle(a, &x) && ::GetFileInformationByHandle(b, &y) &&
           x.dwVolumeSerialNumber == y.dwVolumeSerialNumber &&
           x.nFileIndexHigh == y.nFileIndexHigh && x.nFileIndexLow == y.nFileIndexLow;
}

bool IsDeletePending(HANDLE handle) {
    FILE_STANDARD_INFO info{};
    return ::GetFileInformationByHandleEx(handle, FileStandardInfo, &info, sizeof info) &&
           info.DeletePending;
}

// Removes the file held through held, when path still leads to it.
void RemoveHeld(HANDLE held, const QString& path) {
    const Handle remover(OpenNamed(path, DELETE | FILE_READ_ATTRIBUTES));
    if (!remover.IsOpen() || !SameFile(held, remover.Get()))
        return;
    FILE_DISPOSITION_INFO remove{};
    remove.DeleteFile = TRUE;
    ::SetFileInformationByHandle(remover.Get(), FileDispositionInfo, &remove, sizeof remove);
}

}  // namespace

void StagingFile::RemoveIfAbandoned(const QString& path) {
    const Handle file(OpenNamed(path, GENERIC_READ));
    // A live writer holds its lock: the file is skipped.
    if (!file.IsOpen() || !IsPlainFile(file.Get()) ||
        TryLockHandle(reinterpret_cast<std::intptr_t>(file.Get()), true) != LockOutcome::Taken) {
        return;
    }
    RemoveHeld(file.Get(), path);
    UnlockHandle(reinterpret_cast<std::intptr_t>(file.Get()));
}

bool StagingFile::Claim(const QString& path) {
    Discard();
    for (int i = 0; i < kClaimTries; ++i) {
        Handle file(::CreateFileW(Native(path).c_str(), GENERIC_READ | GENERIC_WRITE, kShareAll,
                                  nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file.IsOpen())
            return false;
        // Between creating and locking, another process's clean-up may have taken the file for
        // abandoned and removed it; it is then created again.
        // Without locks on this file system no clean-up can lock it either, so it is safe.
        const LockOutcome lock = TryLockHandle(reinterpret_cast<std::intptr_t>(file.Get()), true);
        if ((lock == LockOutcome::Taken && !IsDeletePending(file.Get())) ||
            lock == LockOutcome::Failed) {
            const int fd =
                ::_open_osfhandle(reinterpret_cast<std::intptr_t>(file.Get()), O_RDWR | O_BINARY);
            if (fd < 0)
                return false;
            file.Take();
            fd_ = fd;
            path_ = path;
            return true;
        }
    }
    return false;
}

void StagingFile::Discard() {
    if (fd_ < 0)
        return;
    // Removed before the lock goes, so no clean-up ever sees it unlocked.
    RemoveHeld(reinterpret_cast<HANDLE>(::_get_osfhandle(fd_)), path_);
    Release();
}

void StagingFile::Release() {
    if (fd_ < 0)
        return;
    UnlockHandle(::_get_osfhandle(fd_));
    ::_close(fd_);
    fd_ = -1;
    path_.clear();
}

}  // namespace quillorn
