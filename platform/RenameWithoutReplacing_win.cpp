// The Windows twin of RenameWithoutReplacing.cpp: a move without MOVEFILE_REPLACE_EXISTING fails
// on a name that is taken; across volumes Windows copies and deletes, and the move returns only
// when the file is on the disk.
#include <windows.h>

#include <QDir>

#include "platform/RenameWithoutReplacing.h"
#include "platform/WindowsErrorText.h"

namespace quillorn {

bool RenameWithoutReplacing(const QString& from, const QString& to, QString& errorText) {
    const std::wstring source = QDir::toNativeSeparators(from).toStdWString();
    const std::wstring target = QDir::toNativeSeparators(to).toStdWString();
    if (::MoveFileExW(source.c_str(), target.c_str(),
                      MOVEFILE_COPY_ALLOWED | MOVEFILE_WRITE_THROUGH)) {
        return true;
    }
    errorText = LastWindowsErrorText();
    return false;
}

}  // namespace quillorn
