#include "platform/WindowsFileLock.h"

#include <windows.h>

namespace quillorn {
namespace {

// One byte at 2^62: no file reaches that size, so no read or write of real data ever meets it.
OVERLAPPED FarByte() {
    OVERLAPPED where{};
    where.Offset = 0;
    where.OffsetHigh = 0x40000000u;
    return where;
}

}  // namespace

LockOutcome TryLockHandle(std::intptr_t handle, bool exclusive) {
    OVERLAPPED where = FarByte();
    DWORD flags = LOCKFILE_FAIL_IMMEDIATELY;
    if (exclusive)
        flags |= LOCKFILE_EXCLUSIVE_LOCK;
    if (::LockFileEx(reinterpret_cast<HANDLE>(handle), flags, 0, 1, 0, &where))
        return LockOutcome::Taken;
    const DWORD error = ::GetLastError();
    if (error == ERROR_LOCK_VIOLATION || error == ERROR_SHARING_VIOLATION ||
        error == ERROR_IO_PENDING) {
        return LockOutcome::HeldElsewhere;
    }
    return LockOutcome::Failed;
}

void UnlockHandle(std::intptr_t handle) {
    OVERLAPPED where = FarByte();
    ::UnlockFileEx(reinterpret_cast<HANDLE>(handle), 0, 1, 0, &where);
}

}  // namespace quillorn
