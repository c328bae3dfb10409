// The directory that holds every file Quillorn reads and writes: the executable's directory in
// production, a temporary directory in tests. Its path always ends with a separator, so a file's
// path is the directory followed directly by the file's name.
#pragma once

#include <QString>

namespace quillorn {

class AppDir {
public:
    // path with or without its trailing separator.
    explicit AppDir(const QString& path);

    // The directory of the running executable.
    static AppDir OfExecutable();

    // The directory with its trailing separator.
    const QString& Path() const { return path_; }
    QString FilePath(const QString& name) const { return path_ + name; }

private:
    QString path_;
};

}  // namespace quillorn
