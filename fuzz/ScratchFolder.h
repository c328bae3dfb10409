// A folder of this process's own for the files a fuzz target writes and reads back: on the memory
// file system when there is one, so the atomic replacement's sync costs no disk time.
#pragma once

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

namespace quillorn::fuzz {

inline QString ScratchTemplate() {
    const QFileInfo shm(QStringLiteral("/dev/shm"));
    const QString parent = shm.isDir() && shm.isWritable() ? shm.filePath() : QDir::tempPath();
    return parent + QStringLiteral("/quillorn-fuzz-XXXXXX");
}

inline const QTemporaryDir& ScratchFolder() {
    static const QTemporaryDir folder(ScratchTemplate());
    return folder;
}

// Puts bytes into the scratch folder's file name, replacing what it held; false when it cannot.
inline bool WriteScratchFile(const QString& name, const QByteArray& bytes) {
    QFile file(QDir(ScratchFolder().path()).filePath(name));
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(bytes) == bytes.size() && file.flush();
}

}  // namespace quillorn::fuzz
