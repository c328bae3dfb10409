#include "platform/AppDir.h"

#include <QFile>
#include <QFileInfo>

namespace quillorn {

AppDir::AppDir(const QString& path) : path_(path) {
    if (!path_.endsWith(QLatin1Char('/')))
        path_.append(QLatin1Char('/'));
}

AppDir AppDir::OfExecutable() {
    // The kernel's link names the executable even before (or without) a QCoreApplication.
    const QString executable = QFile::symLinkTarget(QStringLiteral("/proc/self/exe"));
    return AppDir(QFileInfo(executable).absolutePath());
}

}  // namespace quillorn
