// The hidden file beside the result file in which a workbook is assembled before it is moved to
// its real name (".data<N>.<16 hex digits>.xlsx-part"). Its writer holds it under an exclusive
// lock (flock; LockFileEx beyond its end on Windows) for as long as it exists, so a later workbook
// step can tell the part file of a conversion still running in another process from one a killed
// process left behind, and remove only the latter.
#pragma once

#include <QString>

namespace quillorn {

class StagingFile {
public:
    // A hidden name beside resultFilePath that no file holds yet. Creates nothing.
    static QString FreePath(const QString& resultFilePath);

    // Removes the part files in directory that follow this naming and that no process holds
    // locked: those of conversions that never finished. Anything else is left alone.
    static void RemoveAbandoned(const QString& directory);

    StagingFile() = default;
    ~StagingFile();
    StagingFile(const StagingFile&) = delete;
    StagingFile& operator=(const StagingFile&) = delete;

    // Creates the file at path and takes its lock, for the writer that is about to fill it.
    // Returns false when the file cannot be created here: the writer then meets the same problem
    // and reports it.
    bool Claim(const QString& path);

    // Removes the file, if it is still there and ours, and lets it go.
    void Discard();
    // Lets the file go without removing it: it has been moved to its real name.
    void Release();

private:
    // Removes the part file at path when no process holds it locked.
    static void RemoveIfAbandoned(const QString& path);

    int fd_ = -1;
    QString path_;
};

}  // namespace quillorn
