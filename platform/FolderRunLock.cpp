#include "platform/FolderRunLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#include <QDir>
#include <QFile>
#include <cerrno>
#include <utility>

#include "platform/Errors.h"
#include "platform/SystemError.h"

namespace quillorn {

namespace {

[[noreturn]] void ThrowLockFailure(const AppDir& dir, int error) {
    throw Failure(QStringLiteral("Cannot lock folder \"%1\". %2")
                      .arg(QDir::toNativeSeparators(dir.Path()), SystemErrorText(error)));
}

// An open folder, closed when it goes out of scope unless a lock took it over.
class OpenedFolder {
public:
    // The folder itself carries the lock, so no lock file can be left behind or deleted under a
    // run. Close-on-exec: a program the run starts (the desktop opening the workbook) must not
    // inherit the open description and with it the lock.
    explicit OpenedFolder(const AppDir& dir) : dir_(dir) {
        const QByteArray native = QFile::encodeName(dir.Path());
        fd_ = ::open(native.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd_ < 0)
            ThrowLockFailure(dir_, errno);
    }
    ~OpenedFolder() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    OpenedFolder(const OpenedFolder&) = delete;
    OpenedFolder& operator=(const OpenedFolder&) = delete;

    // Locks without waiting: true when taken, false when another holder has it.
    bool Lock(int operation) {
        int result;
        do {
            result = ::flock(fd_, operation | LOCK_NB);
        } while (result != 0 && errno == EINTR);
        if (result == 0)
            return true;
        if (errno != EWOULDBLOCK)
            ThrowLockFailure(dir_, errno);
        return false;
    }

    int Release() { return std::exchange(fd_, -1); }

private:
    const AppDir& dir_;
    int fd_ = -1;
};

}  // namespace

std::optional<FolderRunLock> FolderRunLock::TryTake(const AppDir& dir) {
    OpenedFolder folder(dir);
    if (!folder.Lock(LOCK_EX))
        return std::nullopt;
    return FolderRunLock(folder.Release());
}

bool FolderRunLock::IsBusy(const AppDir& dir) {
    OpenedFolder folder(dir);
    return !folder.Lock(LOCK_SH);  // closing the folder drops the shared lock again
}

void FolderRunLock::Release() noexcept {
    if (fd_ < 0)
        return;
    ::close(fd_);  // closing the only descriptor of the description releases its lock
    fd_ = -1;
}

}  // namespace quillorn
