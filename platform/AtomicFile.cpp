#include "platform/AtomicFile.h"

#include <fcntl.h>
#include <unistd.h>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <cerrno>

#include "platform/Errors.h"
#include "platform/RegularFile.h"
#include "platform/SystemError.h"

namespace quillorn {

namespace {

QString FileMessage(const char* verb, const QString& path, const QString& reason) {
    return QStringLiteral("Cannot %1 file \"%2\". %3")
        .arg(QLatin1String(verb), QDir::toNativeSeparators(path), reason);
}

}  // namespace

void ReplaceFileContents(const QString& path, const QByteArray& bytes) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw OutputFailure(FileMessage("create", path, file.errorString()));
    // QSaveFile buffers, and Qt 6.4 still commits after a failed flush (a full disk): the flush
    // is checked here so a cut-off file never replaces a good one.
    errno = 0;
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        const int error = errno;
        const QString reason = error != 0 ? SystemErrorText(error) : file.errorString();
        file.cancelWriting();
        throw OutputFailure(FileMessage("write", path, reason));
    }
    if (!file.commit())
        throw OutputFailure(FileMessage("write", path, file.errorString()));
}

FileReadFailure::FileReadFailure(Step step, QString path, QString reason)
    : Failure(FileMessage("read", path, reason)),
      step_(step),
      path_(std::move(path)),
      reason_(std::move(reason)) {}

std::optional<QByteArray> ReadWholeFile(const QString& path) {
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink())
        return std::nullopt;
    QString reason;
    const int fd = OpenRegularFile(path, O_RDONLY, reason);
    if (fd < 0)
        throw FileReadFailure(FileReadFailure::Step::Open, path, reason);
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        throw FileReadFailure(FileReadFailure::Step::Open, path, file.errorString());
    }
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw FileReadFailure(FileReadFailure::Step::Read, path, file.errorString());
    return bytes;
}

}  // namespace quillorn
