#include "tests/support/FullDisk.h"

#include <QDir>
#include <QFile>
#include <QUuid>

namespace quillorn::test {

QString FullDisk::Root() {
    return qEnvironmentVariable("QUILLORN_FULL_DISK");
}

bool FullDisk::Fill() {
    Free();
    if (Root().isEmpty())
        return false;
    filler_ = QDir(Root()).filePath(QStringLiteral("filler-") +
                                    QUuid::createUuid().toString(QUuid::WithoutBraces));
    QFile file(filler_);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return false;
    // Large pieces while they fit, then smaller ones down to single bytes: the last byte the file
    // system can hold is taken too.
    const QByteArray piece(64 * 1024, 'f');
    qint64 limit = 256LL * 1024 * 1024;  // more than any disk this is meant for
    for (qsizetype size = piece.size(); size > 0; size /= 2) {
        while (limit > 0 && file.write(piece.constData(), size) == size)
            limit -= size;
    }
    return limit > 0;
}

void FullDisk::Free() {
    if (!filler_.isEmpty())
        QFile::remove(filler_);
    filler_.clear();
}

}  // namespace quillorn::test
