#include <windows.h>

#include "platform/WindowsErrorText.h"
#include "tests/support/MissingFolderText.h"

namespace quillorn::test {

QString MissingFolderText() {
    return WindowsErrorText(ERROR_PATH_NOT_FOUND);
}

}  // namespace quillorn::test
