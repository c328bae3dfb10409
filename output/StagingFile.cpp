#include "output/StagingFile.h"

#include <QFile>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>

namespace quillorn {
namespace {

constexpr int kClaimTries = 16;

bool SameFile(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

}  // namespace

void StagingFile::RemoveIfAbandoned(const QString& name) {
    const QByteArray path = QFile::encodeName(name);
    const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
    if (fd < 0)
        return;
    struct stat held {};
    struct stat named {};
    // A live writer holds its lock: the file is skipped. The name must still lead to the file
    // locked here when it is removed.
    if (::fstat(fd, &held) == 0 && S_ISREG(held.st_mode) && ::flock(fd, LOCK_EX | LOCK_NB) == 0 &&
        ::lstat(path.constData(), &named) == 0 && SameFile(held, named)) {
        ::unlink(path.constData());
    }
    ::close(fd);
}

bool StagingFile::Claim(const QString& path) {
    Discard();
    const QByteArray native = QFile::encodeName(path);
    for (int i = 0; i < kClaimTries; ++i) {
        const int fd = ::open(native.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0)
            return false;
        // Between creating and locking, another process's clean-up may have taken the file for
        // abandoned and removed it; it is then created again.
        const bool locked = ::flock(fd, LOCK_EX) == 0;
        struct stat st {};
        if (!locked || (::fstat(fd, &st) == 0 && st.st_nlink > 0)) {
            // Without locks on this file system no clean-up can lock it either, so it is safe.
            fd_ = fd;
            path_ = path;
            return true;
        }
        ::close(fd);
    }
    return false;
}

void StagingFile::Discard() {
    if (fd_ < 0)
        return;
    // Removed before the lock goes, so no clean-up ever sees it unlocked.
    const QByteArray native = QFile::encodeName(path_);
    struct stat held {};
    struct stat named {};
    if (::fstat(fd_, &held) == 0 && ::lstat(native.constData(), &named) == 0 &&
        SameFile(held, named))
        ::unlink(native.constData());
    Release();
}

void StagingFile::Release() {
    if (fd_ < 0)
        return;
    ::close(fd_);
    fd_ = -1;
    path_.clear();
}

}  // namespace quillorn
