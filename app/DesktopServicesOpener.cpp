#include "app/DesktopServicesOpener.h"

#include <QDesktopServices>
#include <QUrl>

namespace quillorn {

void DesktopServicesOpener::Open(const QString& path) {
    QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

}  // namespace quillorn
