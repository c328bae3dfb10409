// A file that a save cannot replace, for the tests of what a failed save leaves behind: a save
// writes a new file beside the old one and renames it over, and that rename must fail.
#pragma once

#include <QString>

namespace quillorn::test {

// On POSIX the file (which may be open) goes and a folder that is not empty takes its name, since
// no rename replaces one. Windows removes no open file, but renames over no read-only file: the
// file is marked read-only, and stays so.
// Returns false when the file cannot be made so.
bool MakeUnreplaceable(const QString& path);

}  // namespace quillorn::test
