#include "tests/support/UnreplaceableFile.h"

#include <QDir>
#include <QFile>

namespace quillorn::test {

bool MakeUnreplaceable(const QString& path) {
    return QFile::remove(path) && QDir().mkpath(path + QStringLiteral("/taken"));
}

}  // namespace quillorn::test
