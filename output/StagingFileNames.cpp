// The same on every platform: only holding, locking and removing a part file differ.
#include "output/StagingFile.h"

#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>

namespace quillorn {

QString StagingFile::FreePath(const QString& resultFilePath) {
    const QFileInfo info(resultFilePath);
    for (;;) {
        const QString name = QStringLiteral(".%1.%2.xlsx-part")
                                 .arg(info.completeBaseName())
                                 .arg(QRandomGenerator::global()->generate64(), 16, 16, QChar('0'));
        const QString path = info.dir().filePath(name);
        if (!QFileInfo::exists(path) && !QFileInfo(path).isSymLink())
            return path;
    }
}

void StagingFile::RemoveAbandoned(const QString& directory) {
    static const QRegularExpression ours(
        QStringLiteral("^\\.data-?[0-9]+\\.[0-9a-f]{16}\\.xlsx-part$"));
    const QDir dir(directory);
    const QStringList names = dir.entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& name : names) {
        if (!ours.match(name).hasMatch())
            continue;
        RemoveIfAbandoned(dir.filePath(name));
    }
}

StagingFile::~StagingFile() {
    Discard();
}

}  // namespace quillorn
