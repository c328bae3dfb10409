// Where both programs keep their files at this start. A copy in a folder its user may write to
// keeps them beside itself, so that it stays portable; an installed copy keeps them in the user's
// data folder, $XDG_DATA_HOME/Quillorn (by default ~/.local/share/Quillorn), made at the first
// start; on Windows %LOCALAPPDATA%\Quillorn.
#pragma once

#include <QString>

#include "platform/AppDir.h"
#include "platform/Errors.h"

namespace quillorn {

// The user's data folder could not be found or made; the message names it and says why.
class FilesFolderUnavailable : public Error {
public:
    using Error::Error;
};

// The two places the user's data folder is found from.
struct UserFolders {
    QString dataHome;  // $XDG_DATA_HOME (Windows: the local application data folder); ignored
                       // unless it is an absolute path
    QString home;      // $HOME, or the account's home folder when that is unset (Windows: none)

    static UserFolders OfThisProcess();
};

// Whether the program's own folder may hold its files: its user may write there, and it is not
// part of the installed system (under /usr, or Windows' Program Files), which the package manager
// or the installer owns even when the program runs as root or as an administrator.
bool KeepsFilesBesideProgram(const AppDir& programDir);

// programDir when keepBeside, otherwise the user's data folder, made (private to the user) when it
// is missing. Throws FilesFolderUnavailable.
AppDir ChooseFilesFolder(const AppDir& programDir, bool keepBeside, const UserFolders& user);

// The two above for this process.
AppDir FilesFolderOfThisProcess(const AppDir& programDir);

}  // namespace quillorn
