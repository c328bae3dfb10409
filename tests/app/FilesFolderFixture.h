// The fixture of the files folder's tests, shared by the cases every system has and those of
// POSIX (FilesFolderTest_posix.cpp) and Windows (FilesFolderTest_win.cpp).
#pragma once

#include "frontend/FilesFolder.h"
#include "tests/support/FolderFixture.h"

namespace quillorn::test {

class FilesFolderTest : public FolderFixture {
protected:
    AppDir program{QStringLiteral("/opt/quillorn")};
};

}  // namespace quillorn::test
