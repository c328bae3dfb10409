#include "platform/LockedFile.h"

#include "platform/Errors.h"
#include "platform/RegularFile.h"
#include "platform/SystemError.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <QFileInfo>
#include <cerrno>

namespace quillorn {

LockedFile::~LockedFile() {
    Close();
}

LockedFile::LockedFile(LockedFile&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)),
      path_(std::move(other.path_)),
      errorText_(std::move(other.errorText_)) {}

LockedFile& LockedFile::operator=(LockedFile&& other) noexcept {
    if (this != &other) {
        Close();
        fd_ = std::exchange(other.fd_, -1);
        path_ = std::move(other.path_);
        errorText_ = std::move(other.errorText_);
    }
    return *this;
}

bool LockedFile::Open(const QString& path, Mode mode) {
    Close();
    path_ = path;
    errorText_.clear();
    int flags = O_WRONLY | O_CREAT;
    flags |= mode == Mode::CreateNew ? O_EXCL : O_APPEND;
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

void LockedFile::OpenForAppending(const QString& path) {
    const bool existed = QFileInfo::exists(path);
    if (Open(path, Mode::OpenOrAppend))
        return;
    const QString format = existed ? QStringLiteral("Cannot open file \"%1\". %2")
                                   : QStringLiteral("Cannot create file \"%1\". %2");
    throw Failure(format.arg(path, errorText_));
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
    return ::ftruncate(fd_, static_cast<off_t>(size)) == 0;
}

void LockedFile::Close() {
    if (fd_ < 0)
        return;
    ::flock(fd_, LOCK_UN);
    ::close(fd_);
    fd_ = -1;
}

}  // namespace quillorn
