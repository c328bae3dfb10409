// The system's side of choosing the files folder (FilesFolder.h): where the user's folders are,
// whether the program's folder may be written, and making the data folder. FilesFolderSystem.cpp
// holds the POSIX calls, FilesFolderSystem_win.cpp their Windows twins.
#pragma once

#include <QString>

namespace quillorn {

// The user's data folder as the help names it: ~/.local/share/Quillorn, or on Windows
// %LOCALAPPDATA%\Quillorn.
QString UserDataFolderName();

// Makes every missing folder of path, each private to the user. Throws FilesFolderUnavailable
// naming the folder and the system's reason, also when a file takes the folder's place.
void MakeUserFolderPath(const QString& path);

}  // namespace quillorn
