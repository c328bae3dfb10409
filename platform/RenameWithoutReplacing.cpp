#include "platform/RenameWithoutReplacing.h"

#include <fcntl.h>
#include <unistd.h>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstdio>

#include "platform/SystemError.h"

namespace quillorn {

bool RenameWithoutReplacing(const QString& from, const QString& to, QString& errorText) {
    const QByteArray source = QFile::encodeName(from);
    const QByteArray target = QFile::encodeName(to);
    if (::renameat2(AT_FDCWD, source.constData(), AT_FDCWD, target.constData(), RENAME_NOREPLACE) ==
        0) {
        return true;
    }
    int error = errno;
    if (error == EINVAL || error == ENOSYS) {
        // The file system cannot rename exclusively; a hard link refuses an existing name too.
        if (::link(source.constData(), target.constData()) == 0) {
            ::unlink(source.constData());
            return true;
        }
        error = errno;
    }
    if (error == EXDEV || error == EPERM) {
        if (QFile::copy(from, to)) {
            QFile::remove(from);
            return true;
        }
        error = QFileInfo::exists(to) ? EEXIST : EACCES;
    }
    errorText = SystemErrorText(error);
    return false;
}

}  // namespace quillorn
