#include "tests/support/ZipArchive.h"

#include <QProcess>

#include <stdexcept>

namespace quillorn::test {

QStringList ZipMemberNames(const QString& path) {
    QProcess list;
    list.start(QStringLiteral("unzip"), {QStringLiteral("-Z1"), path});
    list.waitForFinished(60000);
    return QString::fromUtf8(list.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
}

QByteArray ZipMember(const QString& path, const QString& member) {
    // unzip takes member names as patterns: "[Content_Types].xml" would match nothing.
    QString pattern = member;
    for (const QChar special : {u'\\', u'[', u']', u'*', u'?'})
        pattern.replace(special, QStringLiteral("\\") + special);
    QProcess unzip;
    unzip.start(QStringLiteral("unzip"), {QStringLiteral("-p"), path, pattern});
    if (!unzip.waitForFinished(120000) || unzip.exitCode() != 0) {
        throw std::runtime_error("cannot unzip " + member.toStdString() + " from " +
                                 path.toStdString());
    }
    return unzip.readAllStandardOutput();
}

}  // namespace quillorn::test
