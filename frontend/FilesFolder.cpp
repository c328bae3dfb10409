#include "frontend/FilesFolder.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFileInfo>
#include <cerrno>

#include "platform/SystemError.h"

namespace quillorn {

namespace {

const QString kFolderName = QStringLiteral("Quillorn");

QString DataHome(const UserFolders& user) {
    // A relative XDG_DATA_HOME is invalid and must be ignored.
    if (QDir::isAbsolutePath(user.dataHome))
        return user.dataHome;
    if (!QDir::isAbsolutePath(user.home)) {
        throw FilesFolderUnavailable(QStringLiteral(
            "Не найдена домашняя папка пользователя: файлы программы негде хранить."));
    }
    return QDir(user.home).filePath(QStringLiteral(".local/share"));
}

// Makes every missing folder of the path, each private to the user as the data folders should be.
void MakeFolderPath(const QString& path) {
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

}  // namespace

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

AppDir ChooseFilesFolder(const AppDir& programDir, bool keepBeside, const UserFolders& user) {
    if (keepBeside)
        return programDir;
    const QString folder = QDir(DataHome(user)).filePath(kFolderName);
    MakeFolderPath(folder);
    return AppDir(folder);
}

AppDir FilesFolderOfThisProcess(const AppDir& programDir) {
    return ChooseFilesFolder(programDir, KeepsFilesBesideProgram(programDir),
                             UserFolders::OfThisProcess());
}

}  // namespace quillorn
