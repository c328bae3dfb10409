#include "platform/LockedFile.h"

#include "platform/Errors.h"
#include "platform/RegularFile.h"
#include "platform/SystemError.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>

namespace quillorn {

bool LockedFile::Open(const QString& path, Mode mode) {
    Close();
    path_ = path;
    errorText_.clear();
    // Every write goes to the end of the file, also after Truncate took some back: a new file
    // must not keep writing at its old end and leave a hole of zero bytes.
    int flags = O_WRONLY | O_CREAT | O_APPEND;
    if (mode == Mode::CreateNew)
        flags |= O_EXCL;
    const int fd = OpenRegularFile(path, flags, errorText_);
    if (fd < 0)
        return false;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        ::close(fd);
        errorText_ = error == EWOULDBLOCK
                         ? QStringLiteral("The file is being written by another program.")
                         : SystemErrorText(error);
        return false;
    }
    fd_ = fd;
    return true;
}

void LockedFile::Write(QByteArrayView bytes) {
    const char* data = bytes.data();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t written = ::write(fd_, data, static_cast<size_t>(left));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0) {
            const int error = written < 0 ? errno : ENOSPC;
            // A partial line would corrupt the file for its readers: cut off what of this call
            // reached it.
            const qint64 partial = bytes.size() - left;
            const qint64 size = Size();
            if (partial > 0 && size >= partial && ::ftruncate(fd_, size - partial) != 0) {
                // Nothing more can be done; the failure below names the real cause.
            }
            throw OutputFailure(
                QStringLiteral("Cannot write file \"%1\". %2").arg(path_, SystemErrorText(error)));
        }
        data += written;
        left -= written;
    }
}

qint64 LockedFile::Size() const {
    struct stat st {};
    if (fd_ < 0 || ::fstat(fd_, &st) != 0)
        return -1;
    return static_cast<qint64>(st.st_size);
}

bool LockedFile::Truncate(qint64 size) {
    if (::ftruncate(fd_, static_cast<off_t>(size)) == 0)
        return true;
    errorText_ = SystemErrorText(errno);
    return false;
}

void LockedFile::Close() {
    if (fd_ < 0)
        return;
    ::flock(fd_, LOCK_UN);
    ::close(fd_);
    fd_ = -1;
}

}  // namespace quillorn
