#include "frontend/FilesFolder.h"

#include <QDir>

#include "frontend/FilesFolderSystem.h"

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

}  // namespace

AppDir ChooseFilesFolder(const AppDir& programDir, bool keepBeside, const UserFolders& user) {
    if (keepBeside)
        return programDir;
    const QString folder = QDir(DataHome(user)).filePath(kFolderName);
    MakeUserFolderPath(folder);
    return AppDir(folder);
}

AppDir FilesFolderOfThisProcess(const AppDir& programDir) {
    return ChooseFilesFolder(programDir, KeepsFilesBesideProgram(programDir),
                             UserFolders::OfThisProcess());
}

}  // namespace quillorn
