// The Windows twin of LockedFile.cpp: the file is held through a C library descriptor over a
// Windows handle (RegularFile_win.cpp), locked with LockFileEx beyond its end (WindowsFileLock.h),
// and written with WriteFile at the end of the file.
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <algorithm>

#include "platform/Errors.h"
#include "platform/LockedFile.h"
#include "platform/RegularFile.h"
#include "platform/WindowsErrorText.h"
#include "platform/WindowsFileLock.h"

namespace quillorn {
namespace {

HANDLE HandleOf(int fd) {
    return reinterpret_cast<HANDLE>(::_get_osfhandle(fd));
}

// The largest piece one WriteFile call takes.
constexpr qsizetype kMaxChunk = qsizetype(1) << 30;

}  // namespace

bool LockedFile::Open(const QString& path, Mode mode) {
    Close();
    path_ = path;
    errorText_.clear();
    int flags = O_WRONLY | O_CREAT | O_APPEND;
    if (mode == Mode::CreateNew)
        flags |= O_EXCL;
    const int fd = OpenRegularFile(path, flags, errorText_);
    if (fd < 0)
        return false;
    switch (TryLockHandle(::_get_osfhandle(fd), true)) {
        case LockOutcome::Taken:
            fd_ = fd;
            return true;
        case LockOutcome::HeldElsewhere:
            errorText_ = QStringLiteral("The file is being written by another program.");
            break;
        case LockOutcome::Failed:
            errorText_ = LastWindowsErrorText();
            break;
    }
    ::_close(fd);
    return false;
}

void LockedFile::Write(QByteArrayView bytes) {
    const HANDLE handle = HandleOf(fd_);
    const char* data = bytes.data();
    qsizetype left = bytes.size();
    while (left > 0) {
        // Both offsets all ones: this piece goes to the end of the file, wherever it is now.
        OVERLAPPED atEnd{};
        atEnd.Offset = 0xFFFFFFFFu;
        atEnd.OffsetHigh = 0xFFFFFFFFu;
        DWORD written = 0;
        const auto chunk = static_cast<DWORD>(std::min(left, kMaxChunk));
        const bool ok = ::WriteFile(handle, data, chunk, &written, &atEnd);
        if (!ok || written == 0) {
            const DWORD error = ok ? DWORD(ERROR_DISK_FULL) : ::GetLastError();
            // A partial line would corrupt the file for its readers: cut off what of this call
            // reached it.
            const qint64 partial = bytes.size() - left;
            const qint64 size = Size();
            if (partial > 0 && size >= partial && !Truncate(size - partial)) {
                // Nothing more can be done; the failure below names the real cause.
            }
            throw OutputFailure(
                QStringLiteral("Cannot write file \"%1\". %2").arg(path_, WindowsErrorText(error)));
        }
        data += written;
        left -= static_cast<qsizetype>(written);
    }
}

qint64 LockedFile::Size() const {
    LARGE_INTEGER size{};
    if (fd_ < 0 || !::GetFileSizeEx(HandleOf(fd_), &size))
        return -1;
    return static_cast<qint64>(size.QuadPart);
}

bool LockedFile::Truncate(qint64 size) {
    const HANDLE handle = HandleOf(fd_);
    LARGE_INTEGER at{};
    at.QuadPart = size;
    if (::SetFilePointerEx(handle, at, nullptr, FILE_BEGIN) && ::SetEndOfFile(handle))
        return true;
    errorText_ = LastWindowsErrorText();
    return false;
}

void LockedFile::Close() {
    if (fd_ < 0)
        return;
    UnlockHandle(::_get_osfhandle(fd_));
    ::_close(fd_);  // closes the handle too
    fd_ = -1;
}

}  // namespace quillorn
