#include "platform/AppDir.h"

#include <QDir>

namespace quillorn {

AppDir::AppDir(const QString& path) : path_(QDir::fromNativeSeparators(path)) {
    if (!path_.endsWith(QLatin1Char('/')))
        path_.append(QLatin1Char('/'));
}

}  // namespace quillorn
