#include "app/AtomicFile.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

#include "platform/Errors.h"

namespace quillorn {

namespace {

[[noreturn]] void RaiseFileError(const char* verb, const QString& path, const QString& reason) {
    throw Failure(QStringLiteral("Cannot %1 file \"%2\". %3")
                      .arg(QLatin1String(verb), QDir::toNativeSeparators(path), reason));
}

}  // namespace

void ReplaceFileContents(const QString& path, const QByteArray& bytes) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        RaiseFileError("write", path, file.errorString());
    if (file.write(bytes) != bytes.size()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        RaiseFileError("write", path, reason);
    }
    if (!file.commit())
        RaiseFileError("write", path, file.errorString());
}

QByteArray ReadFileContents(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        RaiseFileError("read", path, file.errorString());
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        RaiseFileError("read", path, file.errorString());
    return bytes;
}

}  // namespace quillorn
