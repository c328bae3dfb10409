// The system's own words for a file made in a folder that does not exist, as the failures of the
// output files end with them ("No such file or directory" on Linux).
#pragma once

#include <QString>

namespace quillorn::test {

QString MissingFolderText();

}  // namespace quillorn::test
