// The Windows side of choosing the files folder: the local application data folder
// (%LOCALAPPDATA%), Program Files as the installed system, and a trial file for "may write".
#include "frontend/FilesFolderSystem.h"

#include <windows.h>

#include <shlobj.h>

#include <QDir>
#include <QFileInfo>
#include <QStringList>
#include <cerrno>
#include <cwchar>

#include "frontend/FilesFolder.h"
#include "platform/SystemError.h"

namespace quillorn {

namespace {

// The known folder's path with "/" separators; empty when the system has none.
QString KnownFolder(const KNOWNFOLDERID& id) {
    PWSTR path = nullptr;
    QString folder;
    if (SUCCEEDED(::SHGetKnownFolderPath(id, KF_FLAG_DEFAULT, nullptr, &path)))
        folder = QDir::fromNativeSeparators(QString::fromWCharArray(path));
    ::CoTaskMemFree(path);  // also when the call failed
    return folder;
}

bool IsInside(const QString& path, const QString& folder) {
    if (folder.isEmpty())
        return false;
    QString prefix = QDir::cleanPath(folder);
    if (!prefix.endsWith(u'/'))
        prefix += u'/';
    return (QDir::cleanPath(QDir::fromNativeSeparators(path)) + u'/')
        .startsWith(prefix, Qt::CaseInsensitive);
}

// A folder's rights are its access list: _waccess reads only the read-only attribute, which
// folders ignore. The only sure answer is a file made there and gone again at once.
bool CanMakeFileIn(const QString& folder) {
    const QString trial = QDir(folder).filePath(
        QStringLiteral("quillorn-%1-%2.tmp").arg(::GetCurrentProcessId()).arg(::GetTickCount()));
    const std::wstring native = QDir::toNativeSeparators(trial).toStdWString();
    const HANDLE file = ::CreateFileW(
        native.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
        FILE_ATTRIBUTE_TEMPORARY | FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    ::CloseHandle(file);
    return true;
}

}  // namespace

// The profile's folders carry an access list private to the user, which every folder made in
// them inherits.
void MakeUserFolderPath(const QString& path) {
    const QString clean = QDir::cleanPath(QDir::fromNativeSeparators(path));
    // From the deepest folder that exists down: a drive's or a share's root is never made.
    QStringList missing;
    for (QString folder = clean; !QFileInfo::exists(folder);) {
        missing.prepend(folder);
        const QString parent = QFileInfo(folder).path();
        if (parent == folder)
            break;
        folder = parent;
    }
    for (const QString& folder : missing) {
        const std::wstring native = QDir::toNativeSeparators(folder).toStdWString();
        if (::_wmkdir(native.c_str()) == 0 || errno == EEXIST)
            continue;
        throw FilesFolderUnavailable(
            QStringLiteral("Не удалось создать папку для файлов программы \"%1\". %2")
                .arg(QDir::toNativeSeparators(clean), SystemErrorText(errno)));
    }
    if (!QFileInfo(clean).isDir()) {
        throw FilesFolderUnavailable(
            QStringLiteral("Не удалось создать папку для файлов программы \"%1\": "
                           "на её месте лежит файл.")
                .arg(QDir::toNativeSeparators(clean)));
    }
}

UserFolders UserFolders::OfThisProcess() {
    // The known folder is the system's answer; the variable, which a service may lack, only
    // stands in when the system has none.
    UserFolders user;
    user.dataHome = KnownFolder(FOLDERID_LocalAppData);
    if (user.dataHome.isEmpty())
        user.dataHome = QDir::fromNativeSeparators(qEnvironmentVariable("LOCALAPPDATA"));
    return user;
}

bool KeepsFilesBesideProgram(const AppDir& programDir) {
    for (const KNOWNFOLDERID& installed : {FOLDERID_ProgramFiles, FOLDERID_ProgramFilesX86}) {
        if (IsInside(programDir.Path(), KnownFolder(installed)))
            return false;
    }
    return CanMakeFileIn(programDir.Path());
}

QString UserDataFolderName() {
    return QStringLiteral("%LOCALAPPDATA%\\Quillorn");
}

}  // namespace quillorn
