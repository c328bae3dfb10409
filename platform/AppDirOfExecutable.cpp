#include <QFile>
#include <QFileInfo>

#include "platform/AppDir.h"

namespace quillorn {

AppDir AppDir::OfExecutable() {
    // The kernel's link names the executable even before (or without) a QCoreApplication.
    const QString executable = QFile::symLinkTarget(QStringLiteral("/proc/self/exe"));
    return AppDir(QFileInfo(executable).absolutePath());
}

}  // namespace quillorn
