// The same on every platform: only taking the lock differs.
#include <QDir>

#include "platform/FolderRunLock.h"

namespace quillorn {

QString FolderBusyMessage(const AppDir& dir) {
    return QStringLiteral(
               "В папке %1 уже идёт выгрузка отзывов: её ведёт другая копия программы. "
               "Дождитесь её окончания.")
        .arg(QDir::toNativeSeparators(QDir::cleanPath(dir.Path())));
}

}  // namespace quillorn
