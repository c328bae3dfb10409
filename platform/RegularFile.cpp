#include "platform/RegularFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <QFile>
#include <cerrno>

#include "platform/SystemError.h"

namespace quillorn {

namespace {

bool IsOtherThanRegular(const struct stat& st) {
    return !S_ISREG(st.st_mode);
}

QString NotRegularText(const struct stat& st) {
    // A directory keeps the system's own words, as a plain open names it.
    return S_ISDIR(st.st_mode) ? SystemErrorText(EISDIR)
                               : QStringLiteral("It is not a regular file.");
}

}  // namespace

int OpenRegularFile(const QString& path, int flags, QString& errorText) {
    const QByteArray native = QFile::encodeName(path);
    // Non-blocking only for the open itself: a FIFO opens at once (or refuses a writer with
    // ENXIO while nobody reads it), so it can be told apart before anything waits on it.
    int fd;
    do {
        fd = ::open(native.constData(), flags | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0666);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        const int error = errno;
        struct stat named {};
        if ((error == ENXIO || error == EWOULDBLOCK) && ::stat(native.constData(), &named) == 0 &&
            IsOtherThanRegular(named)) {
            errorText = NotRegularText(named);
        } else {
            errorText = SystemErrorText(error);
        }
        return -1;
    }
    struct stat opened {};
    if (::fstat(fd, &opened) != 0) {
        errorText = SystemErrorText(errno);
        ::close(fd);
        return -1;
    }
    if (IsOtherThanRegular(opened)) {
        errorText = NotRegularText(opened);
        ::close(fd);
        return -1;
    }
    const int status = ::fcntl(fd, F_GETFL);
    if (status == -1 || ::fcntl(fd, F_SETFL, status & ~O_NONBLOCK) == -1) {
        errorText = SystemErrorText(errno);
        ::close(fd);
        return -1;
    }
    return fd;
}

}  // namespace quillorn
