// A folder of this process's own for the files a fuzz target writes and reads back: on the memory
// file system when there is one, so the atomic replacement's sync costs no disk time.
#pragma once

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <optional>

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

// What the scratch folder's file name holds, or nothing when it cannot be read.
inline std::optional<QByteArray> ReadScratchFile(const QString& name) {
    QFile file(QDir(ScratchFolder().path()).filePath(name));
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return file.readAll();
}

}  // namespace quillorn::fuzz
