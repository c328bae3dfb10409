// Giving a finished file its real name without ever replacing a file that already bears it: a
// result, log or workbook name that exists stays as it is.
#pragma once

#include <QString>

namespace quillorn {

// Moves the file at from to the name to, unless something already has that name. On failure
// returns false with the system's reason in errorText (for a name that is taken, the system's
// text for an existing file); from is then left where it was.
bool RenameWithoutReplacing(const QString& from, const QString& to, QString& errorText);

}  // namespace quillorn
