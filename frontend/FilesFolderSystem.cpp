// The POSIX side of choosing the files folder: $XDG_DATA_HOME or the account's home, access(2),
// and folders made with mode 0700.
#include "frontend/FilesFolderSystem.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFileInfo>
#include <cerrno>

#include "frontend/FilesFolder.h"
#include "platform/SystemError.h"

namespace quillorn {

// Makes every missing folder of the path, each private to the user as the data folders should be.
void MakeUserFolderPath(const QString& path) {
    const QString clean = QDir::cleanPath(path);
    QString made;
    for (const QString& part : clean.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        made += QLatin1Char('/') + part;
        const QByteArray local = QFile::encodeName(made);
        if (::mkdir(local.constData(), 0700) == 0 || errno == EEXIST)
            continue;
        throw FilesFolderUnavailable(
            QStringLiteral("Не удалось создать папку для файлов программы \"%1\". %2")
                .arg(clean, SystemErrorText(errno)));
    }
    if (!QFileInfo(clean).isDir()) {
        throw FilesFolderUnavailable(
            QStringLiteral("Не удалось создать папку для файлов программы \"%1\": "
                           "на её месте лежит файл.")
                .arg(clean));
    }
}

UserFolders UserFolders::OfThisProcess() {
    UserFolders user{qEnvironmentVariable("XDG_DATA_HOME"), qEnvironmentVariable("HOME")};
    if (user.home.isEmpty()) {
        // A service or a cron job may start the program without HOME.
        if (const passwd* account = ::getpwuid(::getuid()))
            user.home = QFile::decodeName(account->pw_dir);
    }
    return user;
}

bool KeepsFilesBesideProgram(const AppDir& programDir) {
    if (programDir.Path().startsWith(QStringLiteral("/usr/")))
        return false;
    const QByteArray local = QFile::encodeName(programDir.Path());
    return ::access(local.constData(), W_OK | X_OK) == 0;
}

QString UserDataFolderName() {
    return QStringLiteral("~/.local/share/Quillorn");
}

}  // namespace quillorn
