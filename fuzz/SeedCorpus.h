// The saved inputs of a fuzz target, for the tests that replay them in the ordinary test run: every
// input that once broke an invariant stays a regression test.
#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QStringList>

namespace quillorn::fuzz {

inline QDir SeedFolder(const QString& target) {
    return QDir(QStringLiteral(QUILLORN_SOURCE_DIR "/fuzz/corpus/") + target);
}

inline QStringList SeedNames(const QString& target) {
    return SeedFolder(target).entryList(QDir::Files, QDir::Name);
}

inline QByteArray Seed(const QString& target, const QString& name) {
    QFile file(SeedFolder(target).filePath(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace quillorn::fuzz
