// A file held open for writing under an advisory exclusive lock (flock; on Windows LockFileEx on a
// byte far beyond the end of the file, as Windows locks are mandatory): a second writer that asks
// for the lock, such as another Quillorn in the same directory, is refused, while readers are
// unaffected. Every Write is in the file (handed to the system) when it returns.
#pragma once

#include <QByteArrayView>
#include <QString>

namespace quillorn {

class LockedFile {
public:
    enum class Mode {
        CreateNew,     // the file must not exist yet: an existing file is never replaced
        OpenOrAppend,  // an existing file is kept whole and written at its end; else it is created
    };

    LockedFile() = default;
    ~LockedFile();
    LockedFile(LockedFile&& other) noexcept;
    LockedFile& operator=(LockedFile&& other) noexcept;
    LockedFile(const LockedFile&) = delete;
    LockedFile& operator=(const LockedFile&) = delete;

    // Opens and locks path. On failure returns false, holds nothing and leaves the reason in
    // ErrorText() (the system's error text, a note that another writer holds the lock, or that
    // the name belongs to something other than a regular file, such as a FIFO, which is refused
    // without waiting for a reader).
    bool Open(const QString& path, Mode mode);

    // Open with Mode::OpenOrAppend for a state file a run keeps open. Raises Failure "Cannot open
    // file \"<path>\". <reason>" for an existing file, "Cannot create file ..." for a new one.
    void OpenForAppending(const QString& path);

    // Writes all of bytes at the end of the file, resuming after partial writes. A write the system
    // refuses raises OutputFailure "Cannot write file \"<path>\". <system error text>".
    // Precondition: IsOpen().
    void Write(QByteArrayView bytes);

    // The bytes in the file at this moment (its end, where the next write goes).
    qint64 Size() const;

    // Cuts the file to its first size bytes, taking back what was written after them; false when
    // the system refuses, with its reason in ErrorText(). Precondition: IsOpen().
    bool Truncate(qint64 size);

    // Releases the lock and closes the file; does nothing when nothing is open.
    void Close();

    bool IsOpen() const { return fd_ >= 0; }
    const QString& Path() const { return path_; }
    const QString& ErrorText() const { return errorText_; }

private:
    int fd_ = -1;
    QString path_;
    QString errorText_;
};

}  // namespace quillorn
