#include "platform/AtomicFile.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <cerrno>

#include "platform/Errors.h"
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

QByteArray ReadFileContents(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw Failure(FileMessage("read", path, file.errorString()));
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw Failure(FileMessage("read", path, file.errorString()));
    return bytes;
}

}  // namespace quillorn
