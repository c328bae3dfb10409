// The Windows twin of RegularFile.cpp. The C library's open cannot tell a disk file from a pipe or
// a device before it opens them, and cannot share a file for renaming: the file is opened with
// CreateFileW and handed over as a C library descriptor, so callers keep their descriptor.
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <QDir>
#include <cerrno>

#include "platform/RegularFile.h"
#include "platform/SystemError.h"
#include "platform/WindowsErrorText.h"

namespace quillorn {
namespace {

DWORD Access(int flags) {
    switch (flags & (O_RDONLY | O_WRONLY | O_RDWR)) {
        case O_WRONLY:
            return GENERIC_WRITE;
        case O_RDWR:
            return GENERIC_READ | GENERIC_WRITE;
        default:
            return GENERIC_READ;
    }
}

DWORD Disposition(int flags) {
    if ((flags & O_CREAT) && (flags & O_EXCL))
        return CREATE_NEW;
    if (flags & O_CREAT)
        return (flags & O_TRUNC) ? CREATE_ALWAYS : OPEN_ALWAYS;
    return (flags & O_TRUNC) ? TRUNCATE_EXISTING : OPEN_EXISTING;
}

bool IsDirectory(const std::wstring& path) {
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

int OpenRegularFile(const QString& path, int flags, QString& errorText) {
    const std::wstring native = QDir::toNativeSeparators(path).toStdWString();
    // Shared for reading (readers are unaffected), for writing (a second writer meets the lock,
    // not a sharing violation) and for deleting, so that another file can be renamed over this
    // one's name. A handle is not inherited by programs the run starts.
    const HANDLE handle = ::CreateFileW(
        native.c_str(), Access(flags), FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
        nullptr, Disposition(flags), FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        const DWORD error = ::GetLastError();
        // A directory keeps the words a plain open gives it elsewhere.
        errorText = error == ERROR_ACCESS_DENIED && IsDirectory(native) ? SystemErrorText(EISDIR)
                                                                        : WindowsErrorText(error);
        return -1;
    }
    // A pipe, a console or a device (NUL, COM1) opens like a file but is none.
    if (::GetFileType(handle) != FILE_TYPE_DISK) {
        errorText = QStringLiteral("It is not a regular file.");
        ::CloseHandle(handle);
        return -1;
    }
    const int fd =
        ::_open_osfhandle(reinterpret_cast<std::intptr_t>(handle),
                          (flags & (O_APPEND | O_RDONLY | O_WRONLY | O_RDWR)) | O_BINARY);
    if (fd < 0) {
        errorText = SystemErrorText(errno);
        ::CloseHandle(handle);
        return -1;
    }
    return fd;
}

}  // namespace quillorn
