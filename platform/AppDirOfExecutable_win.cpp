// The Windows twin of AppDirOfExecutable.cpp: the executable's folder from the module's own file
// name, which, like the Linux link, needs no QCoreApplication.
#include <windows.h>

#include <QDir>
#include <QFileInfo>
#include <vector>

#include "platform/AppDir.h"

namespace quillorn {

AppDir AppDir::OfExecutable() {
    // A name longer than the buffer comes back cut off: the buffer grows until it holds it all.
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const auto size = static_cast<DWORD>(buffer.size());
        const DWORD length = ::GetModuleFileNameW(nullptr, buffer.data(), size);
        if (length == 0)
            return AppDir(QDir::currentPath());
        if (length < size) {
            const QString executable = QString::fromWCharArray(buffer.data(), length);
            return AppDir(QFileInfo(QDir::fromNativeSeparators(executable)).absolutePath());
        }
        buffer.resize(buffer.size() * 2);
    }
}

}  // namespace quillorn
