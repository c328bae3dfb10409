// Advisory locks on Windows, for the Windows twins of the locked files (files named *_win.cpp).
// Windows byte-range locks are mandatory: a locked byte cannot be read or written through any
// other handle. The lock is therefore taken on one byte far beyond the end any real file reaches
// (offset 2^62), never on the data, so it keeps out a second holder of the same lock while every
// reader and writer of the data itself is unaffected, as an advisory lock does on Linux.
#pragma once

#include <cstdint>

namespace quillorn {

enum class LockOutcome {
    Taken,
    HeldElsewhere,  // another handle, in this program or another, holds a conflicting lock
    Failed,         // the system refused; GetLastError() tells why
};

// Takes the lock on the open file handle (a Windows HANDLE) without waiting: exclusive, or shared
// with other shared holders. Closing the handle releases it.
LockOutcome TryLockHandle(std::intptr_t handle, bool exclusive);

void UnlockHandle(std::intptr_t handle);

}  // namespace quillorn
